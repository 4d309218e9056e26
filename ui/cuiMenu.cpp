#include "ui/cuiMenu.h"

#include "cells/indActiveCell.h"
#include "core/EventIds.h"
#include "core/cmcGTex.h"
#include "platform/ui/Menus.h"

#include <any>
#include <unordered_set>

namespace {

constexpr int KeyEnter = 13;
// The cell flags a refresh reads back: check mark, hidden, disabled, caption
// from the display text; flag 4 is cleared with them.
constexpr int FlagChecked = 0;
constexpr int FlagHidden = 1;
constexpr int FlagDisabled = 2;
constexpr int FlagCaption = 3;
constexpr int FlagsCleared = 5;

intptr_t AsEventParam(const void* p) { return reinterpret_cast<intptr_t>(p); }

void CollectTags(const plat::MenuItem* item, std::unordered_set<const void*>& tags)
{
    if (item->Tag() != nullptr) tags.insert(item->Tag());
    for (int i = 0; i < item->Count(); ++i) CollectTags(item->Items(i), tags);
}

} // namespace

cuiMenu::cuiMenu(plat::Control* owner, plat::MenuItem* root, cmcGTex* texts, const std::string& key,
                 ClickClosure onClick)
    : m_owner(owner), m_texts(texts), m_key(key), m_root(root), m_onClick(std::move(onClick))
{
    m_root->SetTag(nullptr);
    if (!m_onClick) m_onClick = [this](plat::MenuItem& sender) { OnItemClick(sender); };
    m_events = cmcEvSubscription(MemberEventHandler<&cuiMenu::OnEvent>(this));
}

cuiMenu::~cuiMenu()
{
    m_events.Reset();
    *m_alive = false;
}

void cuiMenu::SetKey(cmcGTex* texts, const std::string& key)
{
    m_texts = texts;
    m_key = key;
}

void cuiMenu::Build()
{
    DeleteChildren(m_root);
    auto basic = std::make_unique<cmcCellObj>();
    cmcCellObj::ParseCell(basic.get(), m_texts->GetText(m_key + "_BasicCell", 0), nullptr, nullptr, false);
    m_basicCell = std::move(basic);
    AddLevel(nullptr, m_key + "_Body", 0, nullptr);
}

int cuiMenu::AddLevel(plat::MenuItem* parent, const std::string& bodyKey, int first, cuiMenu* clickMenu)
{
    int n = 0;
    size_t levelDepth = 0;
    plat::MenuItem* last = nullptr;
    for (;;) {
        const std::string line = m_texts->GetText(bodyKey, first + n);
        if (!line.empty() && line[0] == '#') break;
        const size_t plus = line.find('+');
        const size_t depth = plus == std::string::npos ? line.size() : plus;
        if (n == 0) {
            levelDepth = depth;
        } else if (depth > levelDepth) {
            n += AddLevel(last, bodyKey, first + n, clickMenu);
            continue;
        } else if (depth < levelDepth) {
            break;
        }
        last = AddItem(parent, line, clickMenu);
        ++n;
    }
    return n;
}

plat::MenuItem* cuiMenu::AddItem(plat::MenuItem* parent, const std::string& line, cuiMenu* clickMenu)
{
    if (parent == nullptr) parent = m_root;
    cmcCellObj* cell = AddCell(std::make_unique<cmcCellObj>())->get();
    const size_t plus = line.find('+');
    const std::string_view cellText =
        plus == std::string::npos ? std::string_view() : std::string_view(line).substr(plus + 1);
    cmcCellObj::ParseCell(cell, cellText, nullptr, m_basicCell.get(), false);

    auto* item = new plat::MenuItem(clickMenu != nullptr ? clickMenu->m_root : parent);
    item->SetCaption(cell->GetText());
    if (cell->Argument) item->SetShortCut(plat::TextToShortCut(*cell->Argument));
    parent->Add(item);
    item->SetTag(cell);
    item->OnClick = clickMenu != nullptr ? clickMenu->m_onClick : m_onClick;
    item->SetImageIndex(cell->ImageIndex);
    return item;
}

void cuiMenu::DeleteChildren(plat::MenuItem* item)
{
    if (item == nullptr) return;
    while (item->Count() > 0) delete item->Items(item->Count() - 1);
    PurgeCells();
}

cuiMenu::CellNode cuiMenu::AddCell(std::unique_ptr<cmcCellObj> cell)
{
    return m_cells.insert(m_cells.end(), std::move(cell));
}

void cuiMenu::PurgeCells()
{
    std::unordered_set<const void*> tags;
    CollectTags(m_root, tags);
    EraseUnusedCells(m_cells, tags);
}

bool cuiMenu::IsCellReferenced(const cmcCellObj* cell, const plat::MenuItem* item)
{
    if (item->Tag() == cell) return true;
    for (int i = 0; i < item->Count(); ++i)
        if (IsCellReferenced(cell, item->Items(i))) return true;
    return false;
}

cmcCellObj* cuiMenu::CellOf(const plat::MenuItem* item) { return static_cast<cmcCellObj*>(item->Tag()); }

plat::MenuItem* cuiMenu::FindItem(plat::MenuItem* item, int label) const
{
    if (item == nullptr) item = m_root;
    if (const cmcCellObj* cell = CellOf(item); cell != nullptr && cell->Label == label) return item;
    for (int i = 0; i < item->Count(); ++i)
        if (plat::MenuItem* found = FindItem(item->Items(i), label)) return found;
    return nullptr;
}

plat::MenuItem* cuiMenu::ContainsItem(plat::MenuItem* item, const plat::MenuItem* wanted) const
{
    if (item == nullptr) item = m_root;
    if (item == wanted) return item;
    for (int i = 0; i < item->Count(); ++i)
        if (plat::MenuItem* found = ContainsItem(item->Items(i), wanted)) return found;
    return nullptr;
}

bool cuiMenu::QueryCurrentCell(const plat::Component* owningComponent, cmcCellObj& copy)
{
    if (g_EvMan == nullptr) return false;
    std::unique_ptr<cmcEvAns> answers = g_EvMan->Query(ev::QueryCurrentCell, AsEventParam(owningComponent), 0);
    for (cmcEvAns* answer = answers.get(); answer != nullptr; answer = answer->next) {
        if (const auto* cell = std::any_cast<cmcCellObj>(&answer->object)) {
            copy.Assign(*cell);
            return true;
        }
    }
    return false;
}

void cuiMenu::Refresh(plat::MenuItem* item)
{
    m_cachedOwner = nullptr;
    RefreshItem(item);
}

void cuiMenu::RefreshItem(plat::MenuItem* item)
{
    if (item == nullptr) return;
    m_refreshCapsule.Reset();
    m_refreshCapsule.Owner = m_owner;
    cmcCellObj* cell = CellOf(item);
    m_refreshCapsule.Cell = cell;
    const plat::Component* owning = item->Owner();
    if (owning != m_cachedOwner) {
        m_parentCapsule.reset();
        if (QueryCurrentCell(owning, m_currentCellCopy)) {
            m_parentCapsule = std::make_unique<cmcCellCapsule>();
            m_parentCapsule->Cell = &m_currentCellCopy;
        }
        m_cachedOwner = owning;
    }
    if (m_parentCapsule) m_refreshCapsule.Parent = m_parentCapsule.get();
    if (cell != nullptr) {
        for (int flag = 0; flag < FlagsCleared; ++flag) cell->SetFlag(flag, false);
        indActiveCell engine;
        engine.Exec(&m_refreshCapsule, 0);
        item->SetChecked(cell->GetFlag(FlagChecked));
        item->SetVisible(!cell->GetFlag(FlagHidden));
        item->SetEnabled(!cell->GetFlag(FlagDisabled));
        if (cell->GetFlag(FlagCaption) && cell->GetText() != item->Caption()) item->SetCaption(cell->GetText());
        if (cell->ImageIndex != item->ImageIndex()) item->SetImageIndex(cell->ImageIndex);
    } else {
        item->SetChecked(false);
    }
    for (int i = 0; i < item->Count(); ++i) RefreshItem(item->Items(i));
}

void cuiMenu::OnItemClick(plat::MenuItem& sender)
{
    if (ContainsItem(nullptr, &sender) == nullptr) return;
    // The engine runs on a copy of the item's cell: a command may rebuild
    // this menu (a change of language) and free the item's own cell while
    // the engine still works with it.
    cmcCellObj cell;
    if (const cmcCellObj* tag = CellOf(&sender)) cell.Assign(*tag);
    cell.Base = nullptr;
    cmcCellCapsule capsule;
    capsule.Owner = m_owner;
    capsule.Cell = &cell;
    capsule.Key = KeyEnter;
    // A click asks without an owner (p1 = 0). Sheets answer only for their
    // own pop-up items, so a click runs without a parent as a rule; the
    // mirrored pop-up items run through their sheet's own click handler.
    cmcCellObj current;
    cmcCellCapsule parent;
    if (QueryCurrentCell(nullptr, current)) {
        parent.Cell = &current;
        capsule.Parent = &parent;
    }
    std::shared_ptr<bool> alive = m_alive;
    indActiveCell engine;
    engine.Exec(&capsule, 0);
    if (!*alive) return;
    Refresh(m_root);
}

void cuiMenu::OnEvent(const dst_Event* event)
{
    switch (event->type) {
    case ev::MenuRefresh:
        Refresh(m_root);
        break;
    case ev::MenuDeleteSubItems:
        if (plat::MenuItem* item = FindItem(nullptr, static_cast<int>(event->p2))) DeleteChildren(item);
        break;
    case ev::MenuRebuildSubItems:
        if (plat::MenuItem* item = FindItem(nullptr, static_cast<int>(event->p2)))
            AddLevel(item, event->Text() + "_Body", 0, reinterpret_cast<cuiMenu*>(event->p1));
        break;
    default:
        break;
    }
}
