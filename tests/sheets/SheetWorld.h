#pragma once
// The model's sheets as the program shows them: the overlay file the build
// joins, the real cell engine and main object on an image made by the cell
// tests' image builder, a window that holds the sheet, the tree's pictures
// (the marks), and the program's pop-up windows installed for the cells.
// The main object answers the cells' list insertions and deletions
// (renumbering, counts, rows added or removed on the open sheet, titles).
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/indPopupWindows.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "tests/cells/CellWorld.h"
#include "ui/cuiSheet.h"

#include <memory>
#include <string>
#include <vector>

class cuiGrid;
class iuiSh_ChBank;
class iuiSh_Mch;

namespace sheets {

// The language file of the build, without its end key.
std::vector<std::string> LanguageFileLines();

class SheetWorld {
public:
    // modelType 0 LMR, 1 PMR; more: overlay lines that come before the
    // language file (they win over its keys).
    explicit SheetWorld(int modelType = 0, const std::vector<std::string>& more = {});
    ~SheetWorld();
    SheetWorld(const SheetWorld&) = delete;
    SheetWorld& operator=(const SheetWorld&) = delete;

    celltest::TestImage Data() { return celltest::TestImage(world.Image()); }
    // The model type's initial file as the program loads it at start: the
    // defaults, and the document a copy of them.
    void LoadInitialImage();
    // The working tables packed, as after an edit.
    void Pack() { world.Main().Pack(world.Image()); }

    // A sheet of the class on the window, its spec and code set and shown;
    // the previous sheet goes first.
    iuiSh_ChBank& OpenBank(int bank);
    iuiSh_Mch& OpenList(const std::string& key, const std::string& code, const cmcCellCapsule* origin = nullptr);
    template <typename Sheet>
    Sheet& Open(const std::string& key, const std::string& code);
    void CloseSheet() { sheet.reset(); }

    cuiGrid& Grid() const;
    // The grid gets the keyboard focus (keys typed on the window reach it).
    void Focus();
    // The text the cell at a grid position shows.
    std::string Text(int col, int row);
    // The first grid column whose cells in the loop row carry the label; -1
    // when none does.
    int ColumnOf(int label) const;
    std::string Cursor() const;

    celltest::CellWorld world;
    plat::Form form;
    plat::ImageList images;
    indPopupWindows popups;
    std::unique_ptr<cuiSheet> sheet;
    // Events 55 and 57 as the handlers after the open sheet see them:
    // (type, p1).
    std::vector<std::pair<int, intptr_t>> rowEvents;

private:
    void OnEvent(const dst_Event* event);
    cmcEvSubscription m_subscription;
};

template <typename Sheet>
Sheet& SheetWorld::Open(const std::string& key, const std::string& code)
{
    sheet.reset();
    auto made = std::make_unique<Sheet>(&form, nullptr, 0, 0, &g_GTex, key, &images);
    Sheet& shown = *made;
    sheet = std::move(made);
    shown.SetSpec(key + (code.empty() ? "" : "," + code));
    shown.SetCode(code);
    shown.Show();
    return shown;
}

} // namespace sheets
