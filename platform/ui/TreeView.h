#pragma once
// A tree view: read-only nodes with a caption, a data pointer and pictures
// from an image list.
//
// Nodes belong to the view: AddChild makes them, Delete frees them with all
// below them. Node order ("absolute index") is top to bottom, depth first,
// over every node, those under collapsed nodes included.
//
// A node shows its image, or its selected image while it is the selected
// node, and over it the image of its overlay (ImageList::SetOverlay of the
// view's list): -1 shows none. The selection stays visible when the view
// loses the focus.
//
// OnChange tells of a new selection ChangeDelay milliseconds after it
// happened (a selection within that time starts the wait again), so that
// running through the nodes with the keys does not act on every node on the
// way; with a delay of 0 at once. Whoever selects (the user or the program)
// is told.
#include "platform/ui/Control.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTreeWidgetItem;

namespace plat {

class ImageList;
class Timer;
class TreeView;
class TreeWidget;

class TreeNode {
public:
    ~TreeNode();
    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;

    TreeView& Owner() const { return m_view; }

    const std::string& Text() const { return m_text; }
    void SetText(const std::string& text);
    void* Data() const { return m_data; }
    void SetData(void* data) { m_data = data; }

    int ImageIndex() const { return m_image; }
    void SetImageIndex(int index);
    int SelectedIndex() const { return m_selectedImage; }
    void SetSelectedIndex(int index);
    // -1 (none) or an overlay of the view's image list (0 to 3).
    int OverlayIndex() const { return m_overlay; }
    void SetOverlayIndex(int overlay);

    // Expanding or collapsing runs the view's OnExpanded or OnCollapsed.
    bool Expanded() const;
    void SetExpanded(bool expanded);

    TreeNode* Parent() const { return m_parent; }
    int Count() const { return static_cast<int>(m_children.size()); }
    TreeNode* Item(int index) const;
    TreeNode* GetFirstChild() const { return Item(0); }
    // The next node with the same parent (the next top-level node for a
    // top-level node); null for the last.
    TreeNode* GetNextSibling() const;
    // The node's place in node order.
    int AbsoluteIndex() const;
    // 0 for a top-level node, 1 for its children, ...
    int Level() const;

    // Frees the node and every node below it.
    void Delete();
    // Frees every node below it.
    void DeleteChildren();

private:
    friend class TreeView;
    friend class TreeWidget;
    TreeNode(TreeView& view, TreeNode* parent, QTreeWidgetItem* item);
    void ShowImages();

    TreeView& m_view;
    TreeNode* m_parent;
    QTreeWidgetItem* m_item;
    std::vector<std::unique_ptr<TreeNode>> m_children;
    std::string m_text;
    void* m_data = nullptr;
    int m_image = -1;
    int m_selectedImage = -1;
    int m_overlay = -1;
};

class TreeView : public Control {
public:
    explicit TreeView(Container& parent);
    ~TreeView() override;

    // The width that shows the caption of every node whole, collapsed ones
    // included, with the view's frame and room for a vertical scroll bar.
    int FullWidth() const;

    // A new node with that caption, the last child of `parent` (the last
    // top-level node when parent is null).
    TreeNode* AddChild(TreeNode* parent, const std::string& text);
    // The number of nodes; the node at an absolute index (null outside).
    int Count() const;
    TreeNode* Item(int absoluteIndex) const;
    int TopLevelCount() const { return static_cast<int>(m_roots.size()); }
    TreeNode* TopLevelItem(int index) const;
    // Frees every node.
    void Clear();

    // The selected node (null when none); selecting null clears it.
    TreeNode* Selected() const;
    void SetSelected(TreeNode* node);

    // The pictures of the nodes (not owned; null: none).
    ImageList* Images() const;
    void SetImages(ImageList* images);

    int ChangeDelay() const { return m_changeDelay; }
    void SetChangeDelay(int ms);

    std::function<void(TreeNode* node)> OnChange;
    std::function<void(TreeNode* node)> OnExpanded;
    std::function<void(TreeNode* node)> OnCollapsed;

private:
    friend class TreeNode;
    friend class TreeWidget;
    TreeWidget* View() const;
    void NodesChanged() { m_orderValid = false; }
    const std::vector<TreeNode*>& Order() const;
    void SelectionChanged();
    void FireChange();
    std::vector<std::unique_ptr<TreeNode>>& SiblingsOf(TreeNode* node);

    std::vector<std::unique_ptr<TreeNode>> m_roots;
    mutable std::vector<TreeNode*> m_order;
    mutable bool m_orderValid = false;
    std::weak_ptr<ImageList* const> m_images;
    int m_changeDelay = 0;
    std::unique_ptr<Timer> m_changeTimer;
    bool m_destroying = false;
};

} // namespace plat
