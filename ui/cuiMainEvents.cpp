// What the main object does on its events and on its tick: status text,
// menu and tool-bar refreshes, the renumbering after list insertions and
// deletions, the reopening of the sheet and the deferred warning check; the
// language reload, the tree handlers, the status panel and the debug compare
// window.
#include "ui/cuiMain.h"

#include "cells/CellQueries.h"
#include "cells/ValueHandlers.h"
#include "core/EventIds.h"
#include "core/cmcGTex.h"
#include "model/ListRows.h"
#include "model/TableAccess.h"
#include "model/indEnviron.h"
#include "platform/base/Canvas.h"
#include "platform/ui/Form.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiDebugWin.h"
#include "ui/cuiMenu.h"
#include "ui/cuiSheet.h"
#include "ui/cuiTree.h"

#include <cstdio>

namespace {

constexpr int KeyEnter = 13;
// The one row an insert or delete event adds or removes.
constexpr int OneRow = 1;

void Send(int type, intptr_t p1, intptr_t p2)
{
    if (g_EvMan != nullptr) g_EvMan->Send(type, p1, p2);
}

// The list counts the list events adjust.
void AdjustListCount(int kind, int group, int step)
{
    switch (kind) {
    case 1:
    case 2: SetBankChannelCount(group, BankChannelCount(group) + step); break;
    case 22:
    case 27:
    case 31: SetGroupItemCount(group, GroupItemCount(group, kind) + step, kind); break;
    case 7: step > 0 ? IncCToneListCount() : DecCToneListCount(); break;
    case 20: step > 0 ? IncNacChListCount() : DecNacChListCount(); break;
    case 18:
    case 28:
    case 32: step > 0 ? IncIndListCount(kind) : DecIndListCount(kind); break;
    case 19:
    case 29:
    case 33: step > 0 ? IncTgListCount(kind) : DecTgListCount(kind); break;
    case 30: step > 0 ? IncMultisiteSiteCount() : DecMultisiteSiteCount(); break;
    default: break;
    }
}

constexpr int MultisiteRepeaterKind = 31;
constexpr int MultisiteSiteKind = 30;

} // namespace

void cuiMain::OnEvent(const dst_Event* event)
{
    switch (event->type) {
    case ev::MainWindowBuilt:
        Send(ev::MenuRefresh, 0, 0);
        Send(ev::ToolBarRefresh, 0, 0);
        break;
    case ev::StatusText:
        m_statusText = event->Text();
        SetStatusColors(static_cast<plat::Color>(event->p1), static_cast<plat::Color>(event->p2));
        break;
    case ev::DebugTextWindow: new cuiDebugWin(m_mainForm); break;
    case ev::ImageDebugWindow:
        new cuiEeDebugWin(m_mainForm, g_GTex.GetText("GI_Sys_AppTitle", 0), &g_GTex, "GI_Sheet_EeDebugWin",
                          m_treeImages);
        break;
    case ev::DebugCompareWindow: ShowDebugCompare(); break;
    case ev::ImageSnapshot: m_debugReference.Assign(m_current); break;
    default:
        if (event->type >= ev::FirstListEvent && event->type <= ev::LastListEvent) OnListEvent(event);
        break;
    }
}

void cuiMain::OnListEvent(const dst_Event* event)
{
    const ListEvents* list = ListEventsOfEvent(event->type);
    if (list == nullptr) return;
    const bool insert = ev::IsListInsert(event->type);
    // The channel events are the model type's channels.
    const int kind = list->kind == 1 || list->kind == 2 ? MchRecordKind() : list->kind;
    const int group = static_cast<int>(event->p1);
    const int index = static_cast<int>(event->p2);
    const int step = insert ? 1 : -1;

    // A new multisite repeater lies inside its site's range, which must
    // already include it when the repeaters are renumbered.
    const bool countFirst = insert && kind == MultisiteRepeaterKind;
    if (countFirst) AdjustListCount(kind, group, step);
    if (kind == 1 || kind == 2) {
        if (insert) RenumberAfterInsert(m_current, m_initial, list->length, kind, index);
        else RenumberAfterDelete(m_current, m_initial, list->length, kind, index);
    } else if (insert) {
        RenumberAfterInsertInGroup(m_current, m_initial, list->length, kind, index, group + 1);
    } else {
        RenumberAfterDeleteInGroup(m_current, m_initial, list->length, kind, index, group + 1);
    }
    if (!countFirst) AdjustListCount(kind, group, step);

    const bool sites = kind == MultisiteSiteKind;
    if (insert) {
        Send(sites ? ev::SiteRowsAdded : ev::RowsAdded, OneRow, 0);
        Send(ev::RefreshSheetTitles, 0, 0);
    } else {
        Send(sites ? ev::SiteRowsRemoved : ev::RowsRemoved, OneRow, 0);
        Send(ev::RefreshSheetTitles, 0, 0);
        Send(ev::RepaintFromIndex, 0, index);
    }
}

void cuiMain::OnTick()
{
    if (m_currentSheet == nullptr) ReopenTreeSelection();
    if (TakeExpiredCheck()) {
        UpdateCheckList(nullptr, nullptr);
        if (g_EvMan != nullptr) g_EvMan->Post(ev::EepromDebugRefresh, 0, 0);
    }
}

void cuiMain::ReloadLanguage()
{
    const int language = g_Environ != nullptr ? g_Environ->Language : 0;
    const std::string entry = g_GTexSys.GetText("GI_Sys_Language", language);
    const size_t tab = entry.find('\t');
    g_GTex.OpenOverlayFile(m_programFolder + (tab == std::string::npos ? std::string() : entry.substr(tab + 1)));
    g_GTexHelp.OpenOverlayFile(m_programFolder + g_GTex.GetText("GI_Sys_MyHelpOvl", 0));
    // The labels of the choice lists are those of the new language.
    m_valueLabels = std::make_unique<cmcFCache>();
    if (m_menu) m_menu->Build();
    BuildTree();
    UpdateTitle();
    RebuildSheet();
}

void cuiMain::RebuildSheet() { CloseSheet(); }

void cuiMain::OnTreeExpandCollapse() { UpdateCheckList(nullptr, nullptr); }

void cuiMain::OnTreeChange()
{
    if (m_tree == nullptr) return;
    cmcCellObj* cell = m_tree->SelectedCell();
    if (cell == nullptr) return;
    if (m_currentSheet != nullptr && cell->Argument && m_currentSheet->Spec() == *cell->Argument) return;
    ExecCellKey(cell, KeyEnter);
}

void cuiMain::OnDrawStatusPanel(plat::StatusBar&, int panel, const plat::Rect& rect, plat::Canvas& canvas)
{
    if (panel != m_statusPanel) return;
    canvas.GetBrush() = {m_statusBackColor, plat::bsSolid};
    canvas.FillRect(rect);
    canvas.GetBrush().style = plat::bsClear;
    canvas.GetFont().color = m_statusTextColor;
    const int y = rect.top + (rect.Height() - canvas.TextHeight(m_statusText)) / 2;
    canvas.TextRect(rect, rect.left, y, m_statusText);
}

std::vector<std::string> cuiMain::DebugCompareLines() const
{
    if (m_debugReference.Size() != m_current.Size()) return {"Not match size !"};
    std::vector<std::string> lines;
    for (int a = 0; a < m_current.Size(); ++a) {
        const int before = m_debugReference.Data()[a];
        const int now = m_current.Data()[a];
        if (before == now) continue;
        char line[40];
        std::snprintf(line, sizeof line, "%08X : %02X -> %02X", a, before, now);
        lines.emplace_back(line);
    }
    return lines;
}

void cuiMain::ShowDebugCompare()
{
    plat::Form window(m_mainForm);
    window.SetCaption("Debug compare");
    window.SetBorderIcons(plat::biSystemMenu);
    if (m_leftPanel != nullptr) {
        const plat::Point at = m_leftPanel->ClientToScreen({0, 0});
        window.SetBounds(at.x, at.y, m_leftPanel->Width(), m_leftPanel->Height());
    }
    auto* bottom = new plat::Panel(window);
    bottom->SetBevelOuter(plat::bvNone);
    bottom->SetAlign(plat::alBottom);
    auto* close = new plat::Button(*bottom);
    close->SetCaption("Close");
    close->SetLeft(0);
    close->SetAnchors(plat::akLeft | plat::akTop);
    close->SetDefault(true);
    close->SetCancel(true);
    close->SetModalResult(plat::mrOk);
    bottom->SetHeight(close->Height());
    auto* memo = new plat::Memo(window);
    memo->SetAlign(plat::alClient);
    memo->SetReadOnly(true);
    memo->SetScrollBars(plat::ssVertical);
    for (const std::string& line : DebugCompareLines()) memo->AddLine(line);
    m_debugReference.Assign(m_current);
    close->SetFocus();
    window.ShowModal();
}
