// The print preview window: its tool bar and page picture, the rendering of
// one recorded page, paging, zoom and the printer font size setting.
#include "ui/cuiPreview.h"

#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "model/indEnviron.h"
#include "platform/base/Canvas.h"
#include "platform/ui/Application.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Printer.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TextMetrics.h"
#include "platform/ui/ToolBar.h"
#include "ui/cuiGrid.h"
#include "ui/cuiMain.h"
#include "ui/cuiPrinter.h"
#include "ui/cuiSheet.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

constexpr plat::Color ClientColor = plat::RGB(85, 85, 85);

std::string PageText(int current, int last)
{
    char text[32];
    std::snprintf(text, sizeof text, " %d / %d", current, last);
    return text;
}

int Scale(int value, int multiplier, int divisor)
{
    if (divisor <= 0) return value;
    return static_cast<int>(static_cast<int64_t>(value) * multiplier / divisor);
}

} // namespace

cuiPreview::cuiPreview(cuiPrinter& printer, plat::Form* owner, const std::string& caption, plat::ImageList* images)
    : m_printer(printer), m_owner(owner), m_window(std::make_unique<plat::Form>()),
      m_bitmap(std::make_unique<plat::Bitmap>())
{
    plat::Form& form = *m_window;
    form.SetCaption(caption);
    form.SetBorderIcons(plat::biSystemMenu | plat::biMaximize);
    form.SetKeyPreview(true);
    form.OnKeyPress = [this](char32_t& ch) { OnFormKeyPress(ch); };
    form.OnKeyDown = [this](int& key, plat::ShiftState) { OnFormKeyDown(key); };

    m_topPanel = new plat::Panel(form);
    m_topPanel->SetAlign(plat::alTop);
    m_topPanel->SetHeight(TopPanelHeight);
    m_topPanel->SetBevelOuter(plat::bvNone);
    m_topPanel->SetBevelInner(plat::bvNone);
    m_toolBar = new plat::ToolBar(*m_topPanel);
    m_toolBar->SetFlat(true);
    m_toolBar->SetIndent(4);
    m_toolBar->SetImages(images);

    m_printButton = new plat::Button(*m_toolBar);
    m_printButton->SetCaption("&Print");
    m_printButton->SetWidth(CaptionButtonWidth);
    m_printButton->OnClick = [this] { OnPrintClick(); };
    AddSeparator();
    m_settingButton = new plat::Button(*m_toolBar);
    m_settingButton->SetCaption("&Setting");
    m_settingButton->SetWidth(CaptionButtonWidth);
    m_settingButton->OnClick = [this] { OnSettingClick(); };
    AddSeparator();
    m_top = AddToolButton(TopPageImage, "Top Page");
    m_previous = AddToolButton(PreviousPageImage, "Previous Page");
    m_pageEdit = new plat::Edit(*m_toolBar);
    m_pageEdit->SetText("1");
    m_pageEdit->SetMaxLength(PageEditLength);
    m_pageEdit->SetWidth(PageEditWidth);
    // Page numbers only: digits, whether typed or pasted.
    m_pageEdit->SetNumbersOnly(true);
    m_pageLabel = new plat::Label(*m_toolBar);
    m_pageLabel->SetAutoSize(true);
    m_pageLabel->SetCaption(" / 1");
    m_next = AddToolButton(NextPageImage, "Next Page");
    m_lastButton = AddToolButton(LastPageImage, "Last Page");
    AddSeparator();
    m_zoom = AddToolButton(ZoomImage, "Zoom");
    m_zoom->SetStyle(plat::tbsCheck);
    // Tab starts at the page number, then Print and Setting.
    plat::Control::SetTabOrder({m_pageEdit, m_printButton, m_settingButton});

    m_status = new plat::StatusBar(form);
    plat::StatusPanel first;
    first.width = StatusPanelWidth;
    first.text = " 1 / 1";
    m_status->AddPanel(first);
    m_status->AddPanel();

    m_client = new plat::Panel(form);
    m_client->SetAlign(plat::alClient);
    m_client->SetColor(ClientColor);
    m_client->SetBevelOuter(plat::bvLowered);
    m_client->SetBevelWidth(1);
    m_image = new plat::ImageView(*m_client);
    m_image->SetAlign(plat::alClient);
    m_image->SetColor(ClientColor);
}

cuiPreview::~cuiPreview()
{
    if (m_window) {
        m_window->OnKeyPress = nullptr;
        m_window->OnKeyDown = nullptr;
    }
}

plat::ToolButton* cuiPreview::AddToolButton(int image, const std::string& hint)
{
    auto* button = new plat::ToolButton(*m_toolBar);
    button->SetImageIndex(image);
    button->SetHint(hint);
    button->OnClick = [this](plat::ToolButton& sender) { OnToolClick(sender); };
    return button;
}

void cuiPreview::AddSeparator()
{
    auto* separator = new plat::ToolButton(*m_toolBar);
    separator->SetStyle(plat::tbsSeparator);
}

void cuiPreview::Prepare(plat::Printer& printer, int pages)
{
    m_device = &printer;
    m_pages.assign(static_cast<size_t>(std::max(0, pages)), dst_Preview{});
    m_current = 0;
    m_pageCount = 0;
    const int screen = plat::GetScreenPixelsPerInch();
    m_bitmap->SetSize(Scale(printer.PageWidth(), screen, printer.PixelsPerInch()),
                      Scale(printer.PageHeight(), screen, printer.PixelsPerInch()));
    const plat::Size full = plat::FullScreenClientSize();
    const int width = std::min(m_bitmap->Width() + WindowMargin, full.cx);
    const int height =
        std::min(m_bitmap->Height() + m_topPanel->Height() + m_status->Height() + WindowMargin, full.cy);
    m_window->SetBounds(m_window->Left(), m_window->Top(), width, height);
}

plat::Rect cuiPreview::ToBitmapRect(plat::Printer& printer, const plat::Rect& rect) const
{
    const int screen = plat::GetScreenPixelsPerInch();
    const int ppi = printer.PixelsPerInch();
    return {Scale(rect.left, screen, ppi), Scale(rect.top, screen, ppi), Scale(rect.right, screen, ppi),
            Scale(rect.bottom, screen, ppi)};
}

void cuiPreview::AddPage(plat::Printer& printer, const std::string& spec, const plat::Rect& page, int firstCol,
                         int firstRow, int colCount, int rowCount, const plat::Rect& block)
{
    m_area = page;
    m_device = &printer;
    if (m_pageCount < 0) return;
    // Repagination may find more pages than counted first.
    if (static_cast<size_t>(m_pageCount) >= m_pages.size()) m_pages.resize(static_cast<size_t>(m_pageCount) + 1);
    dst_Preview& record = m_pages[static_cast<size_t>(m_pageCount)];
    record.Spec = spec;
    record.Page = ToBitmapRect(printer, page);
    record.Block = ToBitmapRect(printer, block);
    record.FirstCol = firstCol;
    record.FirstRow = firstRow;
    record.ColCount = colCount;
    record.RowCount = rowCount;
}

bool cuiPreview::Execute()
{
    m_pages.resize(static_cast<size_t>(m_pageCount));
    m_last = m_pageCount - 1;
    m_current = 0;
    ShowPage();
    const plat::Rect work = plat::DesktopWorkArea();
    const int top = std::max(0, (work.Height() - m_window->Height()) / 2);
    const int left = std::max(0, (work.Width() - m_window->Width()) / 2);
    m_window->SetBounds(left, top, m_window->Width(), m_window->Height());
    m_pageEdit->SetFocus();
    m_window->ShowModal();
    return m_print;
}

void cuiPreview::ClearPage()
{
    plat::Canvas& canvas = m_bitmap->GetCanvas();
    canvas.SetClipRect(std::nullopt);
    canvas.GetBrush() = plat::Brush{plat::clWhite, plat::bsSolid};
    canvas.FillRect({0, 0, m_bitmap->Width(), m_bitmap->Height()});
    canvas.GetBrush() = plat::Brush{plat::clBlack, plat::bsSolid};
    canvas.FrameRect({0, 0, m_bitmap->Width(), m_bitmap->Height()});
}

void cuiPreview::ShowPage()
{
    ClearPage();
    const bool any = m_last >= 0;
    if (any && m_current >= 0 && m_current <= m_last) RenderPage(m_current);
    m_image->SetPicture(*m_bitmap);
    UpdateButtons();
    const int shown = any ? m_current + 1 : 0;
    m_pageEdit->SetText(std::to_string(shown));
    m_pageLabel->SetCaption(" / " + std::to_string(m_last + 1));
    plat::StatusPanel panel = m_status->Panel(0);
    panel.text = PageText(shown, m_last + 1);
    m_status->SetPanel(0, panel);
    m_window->Invalidate();
}

void cuiPreview::RenderPage(int page)
{
    if (page < 0 || static_cast<size_t>(page) >= m_pages.size() || m_device == nullptr) return;
    const dst_Preview& record = m_pages[static_cast<size_t>(page)];
    if (record.Spec.empty()) return;
    cuiMain& main = m_printer.Main();
    plat::Form hidden;
    main.SetCharSetPrintOverride(cuiPrinter::CharSetOverrideOf(record.Spec));
    std::unique_ptr<cuiSheet> sheet = main.CreateSheet(&hidden, record.Spec);
    sheet->SetBitmapMode(true);
    plat::Canvas& canvas = m_bitmap->GetCanvas();
    sheet->SetPrintTarget(m_device, &canvas);
    canvas.GetFont().SetSize(cuiPrinter::PrinterFontSize());
    sheet->SetFontHeight(cuiPrinter::PrinterFontSize() * canvas.GetFont().pixelsPerInch / -cuiPrinter::PointsPerInch);
    sheet->Show();

    const plat::Rect inner = m_printer.DrawPageFrame(*m_device, *sheet, record.Page, false, true);
    if (inner.Width() > 0 && inner.Height() > 0) {
        const plat::Rect measured = m_printer.DrawBlock(*sheet, inner, record.FirstCol, record.FirstRow,
                                                        record.ColCount, record.RowCount, true);
        FitBlockToPage(*sheet, record, measured);
        canvas.SetClipRect(record.Page);
        m_printer.DrawBlock(*sheet, inner, record.FirstCol, record.FirstRow, record.ColCount, record.RowCount, false);
        canvas.SetClipRect(std::nullopt);
    }
    main.SetCharSetPrintOverride(0);
    sheet->SetBitmapMode(false);
    sheet.reset();
}

void cuiPreview::FitBlockToPage(cuiSheet& sheet, const dst_Preview& page, const plat::Rect& measured)
{
    cuiGrid& grid = *sheet.Grid();
    const int colEnd = std::min(page.FirstCol + page.ColCount, grid.ColCount());
    const int rowEnd = std::min(page.FirstRow + page.RowCount, grid.RowCount());

    // Columns: the difference is shared out in proportion to the widths.
    const bool wider = page.Block.right < measured.right;
    int64_t d = std::abs(static_cast<int64_t>(page.Block.right) - measured.right);
    if (wider) d -= (page.Page.right - page.Block.right) / 10;
    while (d > 0) {
        int64_t sum = 0;
        for (int c = page.FirstCol; c < colEnd; ++c) sum += std::max(0, grid.ColWidths(c));
        if (sum <= 0) break;
        bool changed = false;
        for (int c = page.FirstCol; c < colEnd && d > 0; ++c) {
            const int width = grid.ColWidths(c);
            if (width <= 0) continue;
            int64_t step = std::max<int64_t>(1, width * d / sum);
            if (wider) step = std::min<int64_t>(step, width - 1);
            if (step <= 0) continue;
            grid.SetColWidths(c, static_cast<int>(wider ? width - step : width + step));
            d -= step;
            changed = true;
        }
        // Every column is down to one pixel: the block cannot shrink more.
        if (!changed) break;
    }

    // Rows: the same step for each row.
    const bool lower = page.Block.bottom < measured.bottom;
    d = std::abs(static_cast<int64_t>(page.Block.bottom) - measured.bottom);
    const int64_t step = std::max<int64_t>(1, page.RowCount > 0 ? d / page.RowCount : d);
    while (d > 0) {
        bool changed = false;
        for (int r = page.FirstRow; r < rowEnd && d > 0; ++r) {
            const int height = grid.RowHeights(r);
            if (height <= 0) continue;
            int64_t by = std::min(step, d);
            if (lower) by = std::min<int64_t>(by, height - 1);
            if (by <= 0) continue;
            grid.SetRowHeights(r, static_cast<int>(lower ? height - by : height + by));
            d -= by;
            changed = true;
        }
        if (!changed) break;
    }
}

void cuiPreview::Repaginate()
{
    if (m_device == nullptr) return;
    std::vector<std::string> specs;
    std::set<std::string> seen;
    for (const dst_Preview& page : m_pages)
        if (seen.insert(page.Spec).second) specs.push_back(page.Spec);
    int total = 0;
    for (const std::string& spec : specs) total += m_printer.PrintSheet(*m_device, spec, m_area, true, false);
    m_pages.assign(static_cast<size_t>(total), dst_Preview{});
    m_pageCount = 0;
    for (const std::string& spec : specs) m_printer.PrintSheet(*m_device, spec, m_area, true, true);
    m_pages.resize(static_cast<size_t>(m_pageCount));
    m_last = m_pageCount - 1;
    m_current = 0;
}

void cuiPreview::StepPage(bool forward)
{
    m_current += forward ? 1 : -1;
    ClampPage();
    ShowPage();
}

void cuiPreview::GoToPage(int index)
{
    m_current = index;
    ClampPage();
    ShowPage();
}

void cuiPreview::ClampPage() { m_current = std::max(0, std::min(m_current, m_last)); }

void cuiPreview::UpdateButtons()
{
    const bool any = m_last >= 0;
    m_top->SetEnabled(any && m_current > 0);
    m_previous->SetEnabled(any && m_current > 0);
    m_next->SetEnabled(any && m_current < m_last);
    m_lastButton->SetEnabled(any && m_current < m_last);
    m_printButton->SetEnabled(any);
}

void cuiPreview::OnToolClick(plat::ToolButton& button)
{
    if (&button == m_top) GoToPage(0);
    else if (&button == m_previous) StepPage(false);
    else if (&button == m_next) StepPage(true);
    else if (&button == m_lastButton) GoToPage(m_last);
    else if (&button == m_zoom) m_image->SetActualSize(m_zoom->Down());
}

void cuiPreview::OnFormKeyDown(int& key)
{
    switch (key) {
    case plat::VK_PRIOR: StepPage(false); key = 0; break;
    case plat::VK_NEXT: StepPage(true); key = 0; break;
    case plat::VK_UP:
    case plat::VK_DOWN:
        if (m_zoom->Down()) m_image->ScrollLines(0, key == plat::VK_UP ? -1 : 1);
        else StepPage(key == plat::VK_DOWN);
        key = 0;
        break;
    case plat::VK_LEFT:
    case plat::VK_RIGHT:
        if (m_zoom->Down()) {
            m_image->ScrollLines(key == plat::VK_LEFT ? -1 : 1, 0);
            key = 0;
        }
        break;
    default: break;
    }
}

void cuiPreview::OnFormKeyPress(char32_t& ch)
{
    if (ch == U'\r') {
        // Enter goes to the page typed; an empty edit goes nowhere.
        std::string text = m_pageEdit->Text();
        TrimBlanks(text);
        if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos)
            GoToPage(static_cast<int>(std::min<long>(std::strtol(text.c_str(), nullptr, 10), 1000)) - 1);
        ch = 0;
        return;
    }
    if (ch == U'\b' || (ch >= U'0' && ch <= U'9')) return;
    ch = 0;
}

void cuiPreview::OnPrintClick()
{
    if (m_last < 0) return;
    m_print = true;
    m_window->Close();
}

void cuiPreview::OnSettingClick() { ShowSettingDialog(); }

void cuiPreview::ShowSettingDialog()
{
    plat::Form dialog;
    dialog.SetCaption("Setting");
    dialog.SetBorderStyle(plat::bsDialog);
    dialog.SetBorderIcons(plat::biSystemMenu);
    auto* label = new plat::Label(dialog);
    label->SetAutoSize(true);
    label->SetCaption("Font Size: ");
    label->SetBounds(DialogSpacing, DialogSpacing, label->Width(), label->Height());
    auto* list = new plat::ComboBox(dialog);
    for (int i = 1; i <= FontSizeCount; ++i) list->AddItem(std::to_string(i));
    const int size = g_Environ != nullptr ? g_Environ->FontSizePrinter : cuiPrinter::DefaultFontSize;
    list->SetItemIndex(size >= SmallestFontSize && size < SmallestFontSize + FontSizeCount ? size - SmallestFontSize
                                                                                        : -1);
    list->SetBounds(label->Left() + label->Width() + DialogSpacing, DialogSpacing,
                    2 * plat::ControlTextWidth(dialog, "WWW"), list->Height());
    auto* ok = new plat::Button(dialog);
    ok->SetName("OK");
    ok->SetCaption(g_GTex.GetText("GI_AppInd_Button_OkCancel", 0));
    auto* cancel = new plat::Button(dialog);
    cancel->SetName("Cancel");
    cancel->SetCaption(g_GTex.GetText("GI_AppInd_Button_OkCancel", 1));
    const std::string sample = g_GTex.GetText("GI_AppInd_Opt_ComSel_SizeOfButtons", 0);
    const int buttonWidth = plat::ControlTextWidth(dialog, sample);
    const int buttonHeight = 2 * plat::ControlTextHeight(dialog, sample);
    const int buttonTop = std::max(label->Top() + label->Height(), list->Top() + list->Height()) + DialogSpacing;
    ok->SetBounds(DialogSpacing, buttonTop, buttonWidth, buttonHeight);
    cancel->SetBounds(ok->Left() + buttonWidth + DialogSpacing, buttonTop, buttonWidth, buttonHeight);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    ok->OnClick = [this] { OnSettingOkClick(); };
    cancel->OnClick = [this] { OnSettingCancelClick(); };
    dialog.SetClientSize(std::max(cancel->Left() + buttonWidth, list->Left() + list->Width()) + DialogSpacing,
                         buttonTop + buttonHeight + DialogSpacing);
    CenterControl(dialog, *m_window);

    m_settingDialog = &dialog;
    m_fontSizes = list;
    dialog.ShowModal();
    m_settingDialog = nullptr;
    m_fontSizes = nullptr;
}

void cuiPreview::OnSettingOkClick()
{
    // Without a choice the size stays as it was.
    const int index = m_fontSizes != nullptr ? m_fontSizes->ItemIndex() : -1;
    const bool changed = index >= 0 && g_Environ != nullptr;
    if (changed) g_Environ->FontSizePrinter = index + SmallestFontSize;
    if (m_settingDialog != nullptr) m_settingDialog->SetModalResult(plat::mrOk);
    if (changed) {
        Repaginate();
        ShowPage();
    }
    m_pageEdit->SetFocus();
}

void cuiPreview::OnSettingCancelClick()
{
    if (m_settingDialog != nullptr) m_settingDialog->SetModalResult(plat::mrCancel);
    m_pageEdit->SetFocus();
}
