#pragma once
// The frame of the small windows that show one sheet above a row of
// buttons (the radio information, the language dialog, the image debug
// window): a dialog window over its owner without minimise or maximise, a
// bevelled panel at its top holding the sheet, sized to show the sheet, and
// buttons along the bottom right.
#include "platform/ui/StdControls.h"

#include <initializer_list>
#include <memory>
#include <string>

class cmcGTex;
class cuiSheet;
namespace plat {
class Button;
class Form;
class ImageList;
class Panel;
} // namespace plat

struct SheetDialogParts {
    plat::Form* Window = nullptr;
    plat::Panel* Panel = nullptr;
    std::unique_ptr<cuiSheet> Sheet;
};

struct SheetDialogLayout {
    int FocusLabel = 0;
    plat::ScrollStyle ScrollBars = plat::ssNone;
    // The columns widen to the texts the cells show (the radio's own data
    // may be wider than the layout's sample texts).
    bool WidenToTexts = false;
    // The panel's height at most (0: as high as the sheet).
    int MostPanelHeight = 0;
};

// Builds the window, its panel and the shown sheet, sized to the sheet and
// centred over the owner (kept in the work area without one).
SheetDialogParts MakeSheetDialog(plat::Control* owner, const std::string& caption, cmcGTex* texts,
                                 const std::string& key, plat::ImageList* images, const SheetDialogLayout& layout);

// Places the buttons from right to left along the bottom edge, `gap` apart,
// as large as the first one when sameSize, anchored to the bottom right, and
// grows the window by the buttons' row.
void PlaceDialogButtons(plat::Form& window, std::initializer_list<plat::Button*> rightToLeft, int gap,
                        bool sameSize);
