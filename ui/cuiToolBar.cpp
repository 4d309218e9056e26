#include "ui/cuiToolBar.h"

#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcCellCapsule.h"
#include "core/cmcGTex.h"
#include "platform/ui/ToolBar.h"

namespace {

constexpr int KeyEnter = 13;
// The cell flags a refresh reads: pressed (a check button) and disabled.
constexpr int FlagDown = 0;
constexpr int FlagDisabled = 2;
// Flags 0 to 3 are cleared before each evaluation, so that a button shows
// the state of this evaluation only.
constexpr int FlagsCleared = 4;

} // namespace

cuiToolBar::cuiToolBar(plat::Container* owner, cmcGTex* texts, const std::string& key, plat::ImageList* images)
    : m_owner(owner), m_texts(texts), m_key(key), m_bar(new plat::ToolBar(*owner))
{
    m_bar->SetImages(images);
    m_bar->SetFlat(false);
    m_bar->SetIndent(4);
    m_events = cmcEvSubscription(MemberEventHandler<&cuiToolBar::OnEvent>(this));
}

cuiToolBar::~cuiToolBar()
{
    m_events.Reset();
    // The buttons call this object and point at its cells: they go with it.
    delete m_bar;
}

cmcCellObj* cuiToolBar::CellOf(const plat::ToolButton* button)
{
    return button == nullptr ? nullptr : static_cast<cmcCellObj*>(button->Tag());
}

void cuiToolBar::Build(ClickClosure onClick)
{
    const std::string bodyKey = m_key + "_Body";
    int count = 0;
    for (;; ++count) {
        const std::string line = m_texts->GetText(bodyKey, count);
        if (!line.empty() && line[0] == '#') break;
    }
    // A build replaces the buttons of an earlier one, which point at the
    // cells about to be freed.
    while (m_bar->ButtonCount() > 0) delete m_bar->Buttons(0);
    auto basic = std::make_unique<cmcCellObj>();
    cmcCellObj::ParseCell(basic.get(), m_texts->GetText(m_key + "_BasicCell", 0), nullptr, nullptr, false);
    m_basicCell = std::move(basic);
    m_cells.clear();
    m_cells.resize(static_cast<size_t>(count));

    if (!onClick) onClick = [this](plat::ToolButton& sender) { OnButtonClick(sender); };
    // Buttons stand left to right in the order they are created: body order.
    for (int n = 0; n < count; ++n) {
        cmcCellObj& cell = m_cells[static_cast<size_t>(n)];
        cmcCellObj::ParseCell(&cell, m_texts->GetText(bodyKey, n), nullptr, m_basicCell.get(), false);
        auto* button = new plat::ToolButton(*m_bar);
        const std::string& text = cell.GetText();
        if (text == "-") {
            button->SetStyle(plat::tbsSeparator);
            button->SetWidth(SeparatorWidth);
        } else if (text == "/") {
            button->SetStyle(plat::tbsSeparator);
            button->SetWidth(RowBreakWidth);
            button->SetWrap(true);
        } else {
            button->SetImageIndex(cell.ImageIndex);
            button->SetHint(text);
            button->SetTag(&cell);
            button->OnClick = onClick;
        }
    }
}

void cuiToolBar::Refresh()
{
    cmcCellCapsule capsule;
    for (int i = 0; i < m_bar->ButtonCount(); ++i) {
        plat::ToolButton* button = m_bar->Buttons(i);
        cmcCellObj* cell = CellOf(button);
        capsule.Reset();
        capsule.Owner = m_owner;
        capsule.Cell = cell;
        if (cell == nullptr) {
            button->SetDown(false);
            continue;
        }
        // A button without a command keeps the state its owner gives it.
        if (cell->Label == CL_Null || cell->Label == CL_NoLabel) continue;
        for (int flag = 0; flag < FlagsCleared; ++flag) cell->SetFlag(flag, false);
        indActiveCell().Exec(&capsule, 0);
        const bool down = cell->GetFlag(FlagDown);
        button->SetStyle(down ? plat::tbsCheck : plat::tbsButton);
        button->SetDown(down);
        button->SetEnabled(!cell->GetFlag(FlagDisabled));
        if (cell->ImageIndex != button->ImageIndex()) button->SetImageIndex(cell->ImageIndex);
    }
}

void cuiToolBar::OnButtonClick(plat::ToolButton& sender)
{
    cmcCellObj* cell = CellOf(&sender);
    if (cell == nullptr) return;
    cmcCellCapsule capsule;
    capsule.Owner = m_owner;
    capsule.Cell = cell;
    capsule.Key = KeyEnter;
    indActiveCell().Exec(&capsule, 0);
}

void cuiToolBar::OnEvent(const dst_Event* event)
{
    if (event->type == ev::ToolBarRefresh) Refresh();
}
