#pragma once
// The navigation tree of the main window: a read-only tree view whose nodes
// are cells parsed from an overlay description. Each node's cell carries in
// its argument the sheet spec of the page it stands for; the tree itself
// knows nothing of sheets (the main object opens the page of the selected
// node, rebuilds branches and marks the nodes whose pages hold warnings).
//
// Overlay sections of a tree key K:
//   K_BasicCell  line 0: the cell every node inherits from; its font and
//                colour become the view's font and background
//   K_Body       one node per line up to the first line that begins with
//                '#', with the depth marks of menus: the characters in front
//                of a line's first '+' are its depth, a deeper run becomes the
//                children of the node before it
// A node's caption is its cell's display text; its image and selected image
// the cell's ImageIndex. Overlay 0 of the view's image list shows image 13
// (the error mark), overlay 1 image 12 (the warning mark).
#include "core/cmcCellObj.h"
#include "core/cmcEvMan.h"
#include "ui/cuiCellList.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class cmcGTex;
namespace plat {
class Container;
class ImageList;
class TreeNode;
class TreeView;
} // namespace plat

class cuiTree {
public:
    // The images of the overlay marks in the tree image list.
    static constexpr int ErrorMarkImage = 13;
    static constexpr int WarningMarkImage = 12;
    // The overlays that show them.
    static constexpr int ErrorOverlay = 0;
    static constexpr int WarningOverlay = 1;
    static constexpr int NoOverlay = -1;

    using CellList = cuiCellList;
    using CellNode = CellList::iterator;

    // Creates the (empty) tree view on the owner; Build adds the nodes.
    cuiTree(plat::Container* owner, cmcGTex* texts, const std::string& key, plat::ImageList* images);
    // Frees the cells and the view. The tree also frees itself when its
    // owner control closes (event 1 for the owner).
    virtual ~cuiTree();
    cuiTree(const cuiTree&) = delete;
    cuiTree& operator=(const cuiTree&) = delete;

    void Build();
    // Adds the body lines from `first` on as nodes under the parent (top
    // level without one); returns the number of lines consumed.
    int AddLevel(plat::TreeNode* parent, const std::string& bodyKey, int first);
    // One body line as a new last child of the parent (a last top-level node
    // without one).
    plat::TreeNode* AddNode(plat::TreeNode* parent, const std::string& line);
    // Deletes the node's children with everything below them (nothing
    // without a node) and frees the cells no node uses any more.
    void DeleteChildren(plat::TreeNode* node);

    CellNode AddCell(std::unique_ptr<cmcCellObj> cell);
    void PurgeCells();

    // The first node in node order whose cell argument is exactly the text;
    // null when none is.
    plat::TreeNode* FindNode(const std::string& text) const;
    // The cell of the selected node; null without a selection.
    cmcCellObj* SelectedCell() const;
    // The cell of a node (its data).
    static cmcCellObj* CellOf(const plat::TreeNode* node);

    // Removes the overlay mark of the node and of every node after it up to
    // the node's next sibling (to the end of the tree without one).
    void ClearMarks(plat::TreeNode* node);
    // Over the same span: gives the overlay to every node whose cell
    // argument is in the list (letter case aside) and to each of its
    // collapsed ancestors up to and including the start node. Returns the
    // number of nodes whose own argument matched.
    int MarkNodes(plat::TreeNode* node, const std::vector<std::string>& specs, int overlay);

    void OnEvent(const dst_Event* event);

    plat::TreeView* View() const { return m_view; }
    plat::Container* Owner() const { return m_owner; }
    const std::string& Key() const { return m_key; }
    const cmcCellObj* BasicCell() const { return m_basicCell.get(); }
    int CellCount() const { return static_cast<int>(m_cells.size()); }

    // Called by the destructor (the main object forgets the tree).
    std::function<void(cuiTree*)> OnDestroyed;

private:
    // The absolute index one past the node's span (its next sibling's
    // index, or the node count).
    int SpanEnd(const plat::TreeNode* node) const;

    plat::Container* m_owner;
    cmcGTex* m_texts;
    std::string m_key;
    plat::ImageList* m_images;
    plat::TreeView* m_view;
    std::unique_ptr<cmcCellObj> m_basicCell;
    CellList m_cells;
    cmcEvSubscription m_events;
};
