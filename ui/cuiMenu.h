#pragma once
// A menu whose behaviour lives in cells: an overlay menu description becomes
// a tree of menu items under a root item (a menu bar's or a pop-up menu's),
// every item carrying its parsed cell. A click runs the item's cell through
// the cell engine with Enter; a refresh runs every cell without a key and
// reads back from the cell's flags whether the item shows a check mark, is
// hidden, is disabled or takes a new caption.
//
// Overlay sections of a menu key K:
//   K_BasicCell  line 0: the cell every item inherits from
//   K_Body       one item per line, up to the first line that begins with '#'
// The characters in front of a body line's first '+' are its depth marks;
// a deeper run of lines becomes the sub-items of the item before it, a
// shallower line ends the run. The text after the '+' is the item's cell:
// its display text is the caption ("-" a separator), its argument the
// keyboard shortcut ("Ctrl+S"), its ImageIndex the image.
//
// Events: 9 refreshes the whole menu; 10 deletes the sub-items of the item
// whose cell has label p2; 11 adds the items of the menu key in the event's
// text under the item whose cell has label p2, with the click handler of the
// cuiMenu in p1. A refresh asks event 12 for the current cell of the sheet
// whose pop-up items are refreshed, and gives it to the engine as parent.
#include "core/cmcCellCapsule.h"
#include "core/cmcCellObj.h"
#include "core/cmcEvMan.h"
#include "ui/cuiCellList.h"

#include <functional>
#include <memory>
#include <string>

class cmcGTex;
namespace plat {
class Component;
class Control;
class MenuItem;
} // namespace plat

class cuiMenu {
public:
    using ClickClosure = std::function<void(plat::MenuItem& sender)>;
    using CellList = cuiCellList;
    using CellNode = CellList::iterator;

    // Builds nothing yet. Without a click closure the items run
    // cuiMenu::OnItemClick of this menu.
    cuiMenu(plat::Control* owner, plat::MenuItem* root, cmcGTex* texts, const std::string& key,
            ClickClosure onClick = {});
    // The items stay with the window that owns them.
    ~cuiMenu();
    cuiMenu(const cuiMenu&) = delete;
    cuiMenu& operator=(const cuiMenu&) = delete;

    // Replaces the text table and the key; Build follows.
    void SetKey(cmcGTex* texts, const std::string& key);
    // Deletes every item under the root, parses the basic cell afresh and
    // adds the items of the body.
    void Build();

    // Adds the lines of the body key from line `first` on as items under the
    // parent (the root when null), taking the click closure and owner of
    // clickMenu when given. Returns the number of lines consumed.
    int AddLevel(plat::MenuItem* parent, const std::string& bodyKey, int first, cuiMenu* clickMenu);
    // One body line as a new item appended to the parent.
    plat::MenuItem* AddItem(plat::MenuItem* parent, const std::string& line, cuiMenu* clickMenu);
    // Deletes the sub-items of the item (nothing for null), then drops the
    // cells no item carries any more.
    void DeleteChildren(plat::MenuItem* item);

    CellNode AddCell(std::unique_ptr<cmcCellObj> cell);
    // Removes every cell that no item under the root carries.
    void PurgeCells();
    // Whether the item or an item below it carries the cell.
    static bool IsCellReferenced(const cmcCellObj* cell, const plat::MenuItem* item);

    // Depth first, an item before its sub-items: the first item under item
    // (the root when null) whose cell has the label; null when none has.
    plat::MenuItem* FindItem(plat::MenuItem* item, int label) const;
    // The wanted item when it lies in the subtree of item (the root when
    // null), else null.
    plat::MenuItem* ContainsItem(plat::MenuItem* item, const plat::MenuItem* wanted) const;

    // Re-evaluates the item and every item below it.
    void Refresh(plat::MenuItem* item);
    void RefreshItem(plat::MenuItem* item);
    // The default click handler: runs the item's cell with Enter, then
    // refreshes the whole menu.
    void OnItemClick(plat::MenuItem& sender);
    void OnEvent(const dst_Event* event);

    plat::MenuItem* Root() const { return m_root; }
    plat::Control* Owner() const { return m_owner; }
    const std::string& Key() const { return m_key; }
    const ClickClosure& OnClick() const { return m_onClick; }
    const cmcCellObj* BasicCell() const { return m_basicCell.get(); }
    int CellCount() const { return static_cast<int>(m_cells.size()); }

    // The cell an item carries (its tag).
    static cmcCellObj* CellOf(const plat::MenuItem* item);

private:
    // The current cell of the sheet that owns the items of `owningComponent`
    // (event 12), copied into `copy`; false when no sheet answered.
    static bool QueryCurrentCell(const plat::Component* owningComponent, cmcCellObj& copy);

    plat::Control* m_owner;
    cmcGTex* m_texts;
    std::string m_key;
    plat::MenuItem* m_root;
    ClickClosure m_onClick;
    std::unique_ptr<cmcCellObj> m_basicCell;
    CellList m_cells;
    const plat::Component* m_cachedOwner = nullptr;
    cmcCellCapsule m_refreshCapsule;
    cmcCellObj m_currentCellCopy;
    std::unique_ptr<cmcCellCapsule> m_parentCapsule;
    // Cleared when the menu goes, so that a click whose cell destroyed the
    // menu does not touch it afterwards.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    cmcEvSubscription m_events;
};
