#include "platform/ui/TreeView.h"

#include "platform/base/Timer.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/QtAccess.h"

#include <QIcon>
#include <QPixmap>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace plat {

namespace {
constexpr int kNodeRole = Qt::UserRole + 1;

TreeNode* NodeOf(const QTreeWidgetItem* item)
{
    return item == nullptr ? nullptr : static_cast<TreeNode*>(item->data(0, kNodeRole).value<void*>());
}
} // namespace

class TreeWidget : public QTreeWidget {
public:
    TreeWidget(QWidget* parent, TreeView* owner) : QTreeWidget(parent), view(owner)
    {
        setHeaderHidden(true);
        setColumnCount(1);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setUniformRowHeights(true);
        connect(this, &QTreeWidget::currentItemChanged, this, [this] {
            if (view != nullptr) GuardHandler([this] { view->SelectionChanged(); });
        });
        connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
            if (view != nullptr && view->OnExpanded) {
                auto handler = view->OnExpanded;
                GuardHandler([&] { handler(NodeOf(item)); });
            }
        });
        connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
            if (view != nullptr && view->OnCollapsed) {
                auto handler = view->OnCollapsed;
                GuardHandler([&] { handler(NodeOf(item)); });
            }
        });
    }
    TreeView* view;

    int FullWidth() const
    {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        int widest = 0;
        for (QTreeWidgetItemIterator it(const_cast<TreeWidget*>(this)); *it != nullptr; ++it) {
            int depth = rootIsDecorated() ? 1 : 0;
            for (const QTreeWidgetItem* p = (*it)->parent(); p != nullptr; p = p->parent()) ++depth;
            const QModelIndex index = indexFromItem(*it);
            widest = std::max(widest, depth * indentation() + itemDelegate()->sizeHint(option, index).width());
        }
        return widest + 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    }
};

// ---- TreeNode ----

TreeNode::TreeNode(TreeView& view, TreeNode* parent, QTreeWidgetItem* item) : m_view(view), m_parent(parent), m_item(item)
{
    m_item->setData(0, kNodeRole, QVariant::fromValue(static_cast<void*>(this)));
    m_item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}

TreeNode::~TreeNode() = default;

void TreeNode::SetText(const std::string& text)
{
    m_text = text;
    m_item->setText(0, ToQString(text));
}

void TreeNode::SetImageIndex(int index)
{
    m_image = index;
    ShowImages();
}

void TreeNode::SetSelectedIndex(int index)
{
    m_selectedImage = index;
    ShowImages();
}

void TreeNode::SetOverlayIndex(int overlay)
{
    if (overlay == m_overlay) return;
    m_overlay = overlay;
    ShowImages();
}

void TreeNode::ShowImages()
{
    const ImageList* images = m_view.Images();
    if (images == nullptr) {
        m_item->setIcon(0, QIcon());
        return;
    }
    auto picture = [&](int index) {
        QPixmap p = images->Composed(index, m_overlay);
        if (p.isNull()) {
            // No picture: an empty one of the list's size keeps the captions
            // of all nodes in line.
            p = QPixmap(images->Width(), images->Height());
            p.fill(Qt::transparent);
        }
        return p;
    };
    QIcon icon;
    icon.addPixmap(picture(m_image), QIcon::Normal);
    icon.addPixmap(picture(m_selectedImage), QIcon::Selected);
    m_item->setIcon(0, icon);
}

bool TreeNode::Expanded() const { return m_item->isExpanded(); }

void TreeNode::SetExpanded(bool expanded)
{
    if (expanded != m_item->isExpanded()) m_item->setExpanded(expanded);
}

TreeNode* TreeNode::Item(int index) const
{
    return index >= 0 && index < Count() ? m_children[static_cast<size_t>(index)].get() : nullptr;
}

TreeNode* TreeNode::GetNextSibling() const
{
    const auto& siblings = m_parent != nullptr ? m_parent->m_children : m_view.m_roots;
    for (size_t i = 0; i + 1 < siblings.size(); ++i)
        if (siblings[i].get() == this) return siblings[i + 1].get();
    return nullptr;
}

int TreeNode::AbsoluteIndex() const
{
    const auto& order = m_view.Order();
    return static_cast<int>(std::find(order.begin(), order.end(), this) - order.begin());
}

int TreeNode::Level() const
{
    int level = 0;
    for (const TreeNode* p = m_parent; p != nullptr; p = p->m_parent) ++level;
    return level;
}

void TreeNode::DeleteChildren()
{
    while (!m_children.empty()) m_children.back()->Delete();
}

void TreeNode::Delete()
{
    TreeView& view = m_view;
    QTreeWidgetItem* item = m_item;
    auto& siblings = view.SiblingsOf(this);
    auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& p) { return p.get() == this; });
    std::unique_ptr<TreeNode> self = std::move(*it);
    siblings.erase(it);
    view.NodesChanged();
    // The nodes go first, then the widget's items: a selection that moves
    // on meanwhile finds only living nodes.
    self.reset();
    delete item;
}

// ---- TreeView ----

TreeView::TreeView(Container& parent) : Control(nullptr, &parent, new TreeWidget(parent.ClientWidget(), this))
{
    SetBounds(0, 0, 121, 97);
}

TreeView::~TreeView()
{
    m_destroying = true;
    View()->view = nullptr;
    m_changeTimer.reset();
    m_roots.clear();
    View()->clear();
}

TreeWidget* TreeView::View() const { return static_cast<TreeWidget*>(Widget()); }

int TreeView::FullWidth() const { return View()->FullWidth(); }

std::vector<std::unique_ptr<TreeNode>>& TreeView::SiblingsOf(TreeNode* node)
{
    return node->m_parent != nullptr ? node->m_parent->m_children : m_roots;
}

TreeNode* TreeView::AddChild(TreeNode* parent, const std::string& text)
{
    auto* item = new QTreeWidgetItem();
    auto node = std::unique_ptr<TreeNode>(new TreeNode(*this, parent, item));
    TreeNode* added = node.get();
    if (parent != nullptr) {
        parent->m_children.push_back(std::move(node));
        parent->m_item->addChild(item);
    } else {
        m_roots.push_back(std::move(node));
        View()->addTopLevelItem(item);
    }
    added->SetText(text);
    added->ShowImages();
    NodesChanged();
    return added;
}

const std::vector<TreeNode*>& TreeView::Order() const
{
    if (!m_orderValid) {
        m_order.clear();
        std::vector<TreeNode*> pending;
        for (auto it = m_roots.rbegin(); it != m_roots.rend(); ++it) pending.push_back(it->get());
        while (!pending.empty()) {
            TreeNode* node = pending.back();
            pending.pop_back();
            m_order.push_back(node);
            for (auto it = node->m_children.rbegin(); it != node->m_children.rend(); ++it) pending.push_back(it->get());
        }
        m_orderValid = true;
    }
    return m_order;
}

int TreeView::Count() const { return static_cast<int>(Order().size()); }

TreeNode* TreeView::Item(int absoluteIndex) const
{
    const auto& order = Order();
    return absoluteIndex >= 0 && absoluteIndex < static_cast<int>(order.size()) ? order[static_cast<size_t>(absoluteIndex)]
                                                                               : nullptr;
}

TreeNode* TreeView::TopLevelItem(int index) const
{
    return index >= 0 && index < TopLevelCount() ? m_roots[static_cast<size_t>(index)].get() : nullptr;
}

void TreeView::Clear()
{
    while (!m_roots.empty()) m_roots.back()->Delete();
}

TreeNode* TreeView::Selected() const { return NodeOf(View()->currentItem()); }

void TreeView::SetSelected(TreeNode* node)
{
    if (node == nullptr) {
        View()->setCurrentItem(nullptr);
        return;
    }
    View()->setCurrentItem(node->m_item);
}

ImageList* TreeView::Images() const
{
    auto handle = m_images.lock();
    return handle ? *handle : nullptr;
}

void TreeView::SetImages(ImageList* images)
{
    m_images = images != nullptr ? images->Handle() : std::weak_ptr<ImageList* const>();
    for (TreeNode* node : Order()) node->ShowImages();
    if (images != nullptr) View()->setIconSize(QSize(images->Width(), images->Height()));
}

void TreeView::SetChangeDelay(int ms) { m_changeDelay = std::max(0, ms); }

void TreeView::SelectionChanged()
{
    if (m_destroying) return;
    if (m_changeDelay == 0) {
        FireChange();
        return;
    }
    if (!m_changeTimer) m_changeTimer = Timers().CreateTimer([this] { GuardHandler([this] { FireChange(); }); });
    m_changeTimer->Start(m_changeDelay);
}

void TreeView::FireChange()
{
    if (m_changeTimer) m_changeTimer->Stop();
    if (!OnChange) return;
    auto handler = OnChange;
    handler(Selected());
}

} // namespace plat
