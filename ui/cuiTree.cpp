#include "ui/cuiTree.h"

#include "core/EventIds.h"
#include "core/cmcGTex.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/TreeView.h"

#include <unordered_set>

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameTextIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

const std::string* ArgumentOf(const plat::TreeNode* node)
{
    const cmcCellObj* cell = cuiTree::CellOf(node);
    return cell != nullptr && cell->Argument ? &*cell->Argument : nullptr;
}

} // namespace

cuiTree::cuiTree(plat::Container* owner, cmcGTex* texts, const std::string& key, plat::ImageList* images)
    : m_owner(owner), m_texts(texts), m_key(key), m_images(images), m_view(new plat::TreeView(*owner))
{
    m_view->SetImages(images);
    m_events = cmcEvSubscription(MemberEventHandler<&cuiTree::OnEvent>(this));
}

cuiTree::~cuiTree()
{
    m_events.Reset();
    if (OnDestroyed) OnDestroyed(this);
    m_view->Hide();
    // The nodes go with the view, before the cells they point at.
    delete m_view;
    m_cells.clear();
}

void cuiTree::Build()
{
    auto basic = std::make_unique<cmcCellObj>();
    cmcCellObj::ParseCell(basic.get(), m_texts->GetText(m_key + "_BasicCell", 0), nullptr, nullptr, false);
    m_basicCell = std::move(basic);
    if (m_basicCell->Font) m_view->SetFont(*m_basicCell->Font);
    m_view->SetColor(m_basicCell->Color);
    AddLevel(nullptr, m_key + "_Body", 0);
    if (plat::TreeNode* first = m_view->Item(0)) first->SetExpanded(true);
    if (m_images != nullptr) {
        m_images->SetOverlay(ErrorOverlay, ErrorMarkImage);
        m_images->SetOverlay(WarningOverlay, WarningMarkImage);
    }
}

int cuiTree::AddLevel(plat::TreeNode* parent, const std::string& bodyKey, int first)
{
    int n = 0;
    size_t levelDepth = 0;
    plat::TreeNode* last = nullptr;
    for (;;) {
        const std::string line = m_texts->GetText(bodyKey, first + n);
        if (!line.empty() && line[0] == '#') break;
        const size_t plus = line.find('+');
        const size_t depth = plus == std::string::npos ? line.size() : plus;
        if (n == 0) {
            levelDepth = depth;
        } else if (depth > levelDepth) {
            n += AddLevel(last, bodyKey, first + n);
            continue;
        } else if (depth < levelDepth) {
            break;
        }
        last = AddNode(parent, line);
        ++n;
    }
    return n;
}

plat::TreeNode* cuiTree::AddNode(plat::TreeNode* parent, const std::string& line)
{
    cmcCellObj* cell = AddCell(std::make_unique<cmcCellObj>())->get();
    const size_t plus = line.find('+');
    const std::string_view cellText =
        plus == std::string::npos ? std::string_view() : std::string_view(line).substr(plus + 1);
    cmcCellObj::ParseCell(cell, cellText, nullptr, m_basicCell.get(), false);
    plat::TreeNode* node = m_view->AddChild(parent, cell->GetText());
    node->SetData(cell);
    node->SetImageIndex(cell->ImageIndex);
    node->SetSelectedIndex(cell->ImageIndex);
    return node;
}

void cuiTree::DeleteChildren(plat::TreeNode* node)
{
    if (node == nullptr) return;
    while (node->Count() > 0) node->Item(node->Count() - 1)->Delete();
    PurgeCells();
}

cuiTree::CellNode cuiTree::AddCell(std::unique_ptr<cmcCellObj> cell)
{
    return m_cells.insert(m_cells.end(), std::move(cell));
}

void cuiTree::PurgeCells()
{
    std::unordered_set<const void*> used;
    for (int i = 0; i < m_view->Count(); ++i) used.insert(m_view->Item(i)->Data());
    EraseUnusedCells(m_cells, used);
}

cmcCellObj* cuiTree::CellOf(const plat::TreeNode* node)
{
    return node == nullptr ? nullptr : static_cast<cmcCellObj*>(node->Data());
}

plat::TreeNode* cuiTree::FindNode(const std::string& text) const
{
    for (int i = 0; i < m_view->Count(); ++i) {
        plat::TreeNode* node = m_view->Item(i);
        if (const std::string* argument = ArgumentOf(node); argument != nullptr && *argument == text) return node;
    }
    return nullptr;
}

cmcCellObj* cuiTree::SelectedCell() const { return m_view == nullptr ? nullptr : CellOf(m_view->Selected()); }

int cuiTree::SpanEnd(const plat::TreeNode* node) const
{
    const plat::TreeNode* sibling = node->GetNextSibling();
    return sibling != nullptr ? sibling->AbsoluteIndex() : m_view->Count();
}

void cuiTree::ClearMarks(plat::TreeNode* node)
{
    if (node == nullptr) return;
    const int end = SpanEnd(node);
    for (int i = node->AbsoluteIndex(); i < end; ++i) m_view->Item(i)->SetOverlayIndex(NoOverlay);
}

int cuiTree::MarkNodes(plat::TreeNode* node, const std::vector<std::string>& specs, int overlay)
{
    if (node == nullptr) return 0;
    auto listed = [&specs](const std::string& text) {
        for (const std::string& spec : specs)
            if (SameTextIgnoringCase(spec, text)) return true;
        return false;
    };
    int matched = 0;
    const int end = SpanEnd(node);
    for (int i = node->AbsoluteIndex(); i < end; ++i) {
        plat::TreeNode* item = m_view->Item(i);
        const std::string* argument = ArgumentOf(item);
        if (argument == nullptr || !listed(*argument)) continue;
        item->SetOverlayIndex(overlay);
        ++matched;
        // A collapsed ancestor shows what it hides.
        if (item == node) continue;
        for (plat::TreeNode* up = item->Parent(); up != nullptr; up = up->Parent()) {
            if (!up->Expanded()) up->SetOverlayIndex(overlay);
            if (up == node) break;
        }
    }
    return matched;
}

void cuiTree::OnEvent(const dst_Event* event)
{
    if (event->type == ev::ControlClosing && event->p2 == reinterpret_cast<intptr_t>(m_owner)) delete this;
}
