#include "ui/cuiSheetDialog.h"

#include "core/TextFunctions.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"

#include <algorithm>

namespace {
constexpr int PanelBorderWidth = 8;
constexpr int PanelBevelWidth = 2;
// Room below the sheet for the buttons, and their distance from the right
// and bottom edges.
constexpr int ButtonRoom = 10;
constexpr int ButtonMargin = 5;
// The size the sheet is measured at: larger than any frame around its cells.
constexpr int MeasuringSize = 4096;
} // namespace

SheetDialogParts MakeSheetDialog(plat::Control* owner, const std::string& caption, cmcGTex* texts,
                                 const std::string& key, plat::ImageList* images, const SheetDialogLayout& layout)
{
    SheetDialogParts parts;
    plat::Form& window = *(parts.Window = new plat::Form(owner));
    window.SetBorderStyle(plat::bsDialog);
    window.SetBorderIcons(plat::biSystemMenu);
    window.SetCaption(caption);

    plat::Panel& panel = *(parts.Panel = new plat::Panel(window));
    panel.SetAlign(plat::alTop);
    panel.SetBorderWidth(PanelBorderWidth);
    panel.SetBevelOuter(plat::bvRaised);
    panel.SetBevelInner(plat::bvLowered);
    panel.SetBevelWidth(PanelBevelWidth);

    parts.Sheet = std::make_unique<cuiSheet>(&panel, nullptr, layout.FocusLabel, 0, texts, key, images);
    cuiSheet& sheet = *parts.Sheet;
    sheet.Show();
    sheet.Grid()->SetScrollBars(layout.ScrollBars);
    // Every column of the sheet in view, measured with room to spare for the
    // panel's frame and the sheet's title, and a vertical scroll bar's width
    // where the sheet has one.
    window.SetClientWidth(MeasuringSize);
    panel.SetHeight(MeasuringSize);
    if (layout.WidenToTexts) sheet.WidenColumnsToTexts();
    const cuiGrid& grid = *sheet.Grid();
    const int growth = sheet.FullWidth() - panel.ClientWidth() + (grid.Width() - grid.ClientWidth());
    window.SetClientWidth(window.ClientWidth() + growth);
    int panelHeight = sheet.FullHeight();
    if (layout.MostPanelHeight > 0) panelHeight = std::min(panelHeight, layout.MostPanelHeight);
    panel.SetHeight(panelHeight);
    window.SetClientHeight(panel.Height());

    const int clientWidth = window.ClientWidth();
    const int clientHeight = window.ClientHeight();
    if (owner != nullptr)
        CenterControl(window, *owner);
    else
        KeepInWorkArea(window);
    // Setting the client size again keeps it from counting as the outer size
    // of the window that was moved while hidden.
    window.SetClientSize(clientWidth, clientHeight);
    return parts;
}

void PlaceDialogButtons(plat::Form& window, std::initializer_list<plat::Button*> rightToLeft, int gap, bool sameSize)
{
    if (rightToLeft.size() == 0) return;
    const plat::Button& first = **rightToLeft.begin();
    window.SetClientSize(window.ClientWidth(), window.ClientHeight() + first.Height() + ButtonRoom);
    int right = window.ClientWidth() - ButtonMargin;
    for (plat::Button* button : rightToLeft) {
        const int width = sameSize ? first.Width() : button->Width();
        const int height = sameSize ? first.Height() : button->Height();
        button->SetBounds(right - width, window.ClientHeight() - ButtonMargin - height, width, height);
        button->SetAnchors(plat::akRight | plat::akBottom);
        right -= width + gap;
    }
}
