#pragma once
// A tool bar whose buttons are cells, like the menus: a click runs the
// button's cell through the cell engine with Enter, and a refresh runs every
// cell without a key and reads back from the cell's flags whether the button
// is pressed and enabled.
//
// Overlay sections of a tool-bar key K:
//   K_BasicCell  line 0: the cell every button inherits from
//   K_Body       one button per line up to the first line that begins with
//                '#'; the whole line is the cell (no depth marks)
// A cell whose display text is "-" gives a separator 8 pixels wide, "/" a
// separator 1 pixel wide after which a new row starts; any other cell a
// button showing its ImageIndex with the display text as hint.
#include "core/cmcCellObj.h"
#include "core/cmcEvMan.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class cmcGTex;
namespace plat {
class Container;
class ImageList;
class ToolBar;
class ToolButton;
} // namespace plat

class cuiToolBar {
public:
    using ClickClosure = std::function<void(plat::ToolButton& sender)>;

    static constexpr int SeparatorWidth = 8;
    static constexpr int RowBreakWidth = 1;

    // Creates the (empty) tool bar control on the owner. The owner must
    // outlive this object, which frees the bar with its buttons.
    cuiToolBar(plat::Container* owner, cmcGTex* texts, const std::string& key, plat::ImageList* images);
    ~cuiToolBar();
    cuiToolBar(const cuiToolBar&) = delete;
    cuiToolBar& operator=(const cuiToolBar&) = delete;

    // Builds the buttons (replacing those of an earlier build). Buttons
    // with a cell take the click closure, or OnButtonClick of this tool bar
    // without one.
    void Build(ClickClosure onClick = {});
    // Re-evaluates every button that carries a command (a cell label).
    void Refresh();
    void OnButtonClick(plat::ToolButton& sender);
    void OnEvent(const dst_Event* event);

    plat::ToolBar* Bar() const { return m_bar; }
    int Count() const { return static_cast<int>(m_cells.size()); }
    const cmcCellObj* BasicCell() const { return m_basicCell.get(); }
    // The cell a button carries (its tag); null for separators.
    static cmcCellObj* CellOf(const plat::ToolButton* button);

private:
    plat::Container* m_owner;
    cmcGTex* m_texts;
    std::string m_key;
    plat::ToolBar* m_bar;
    std::unique_ptr<cmcCellObj> m_basicCell;
    std::vector<cmcCellObj> m_cells;
    cmcEvSubscription m_events;
};
