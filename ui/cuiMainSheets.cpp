// The one open sheet: making a sheet from its spec, opening and closing it
// with the remembered cursor positions, reopening the tree's selection, and
// the warning check list that marks the tree.
#include "ui/cuiMain.h"

#include "cells/CellQueries.h"
#include "cells/ValueHandlers.h"
#include "cells/indActiveCell.h"
#include "core/EventIds.h"
#include "core/cmcCellCapsule.h"
#include "core/cmcCellObj.h"
#include "core/cmcGTex.h"
#include "model/TableAccess.h"
#include "platform/base/Fatal.h"
#include "platform/ui/Form.h"
#include "platform/ui/TreeView.h"
#include "ui/SplitSheetSpec.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "ui/cuiTree.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int KeyEnter = 13;
constexpr const char* ListSheetLetters = "KMQRXkmqrxy";
constexpr const char* CheckListKey = "GI_WarningCheckList";

bool ShowingOnScreen(const plat::Control* control)
{
    for (const plat::Control* c = control; c != nullptr; c = c->Parent())
        if (!c->Visible()) return false;
    return control != nullptr;
}

std::string ArgumentOf(const cmcCellObj& cell) { return cell.Argument ? *cell.Argument : std::string(); }

} // namespace

cuiMain::SheetClass cuiMain::SheetClassOf(const std::string& spec)
{
    const SheetSpecParts parts = SplitSheetSpec(spec);
    if (parts.Class == "St_ChBank") return SheetClass::ChBank;
    if (parts.Class == "St_Common") return SheetClass::Common;
    if (!parts.Code.empty() && std::strchr(ListSheetLetters, parts.Code[0]) != nullptr) return SheetClass::List;
    return SheetClass::Plain;
}

void cuiMain::SetSheetMaker(SheetClass sheetClass, SheetMaker maker)
{
    m_sheetMakers[static_cast<size_t>(sheetClass)] = std::move(maker);
}

bool cuiMain::HasSheetClass(SheetClass sheetClass) const
{
    return sheetClass == SheetClass::Plain || static_cast<bool>(m_sheetMakers[static_cast<size_t>(sheetClass)]);
}

std::unique_ptr<cuiSheet> cuiMain::CreateSheet(plat::Container* parent, const std::string& spec)
{
    const SheetSpecParts parts = SplitSheetSpec(spec);
    const SheetClass sheetClass = SheetClassOf(spec);
    std::unique_ptr<cuiSheet> sheet;
    if (sheetClass == SheetClass::Plain) {
        sheet = std::make_unique<cuiSheet>(parent, nullptr, 0, 0, &g_GTex, parts.Key, m_treeImages);
    } else {
        const SheetMaker& maker = m_sheetMakers[static_cast<size_t>(sheetClass)];
        if (!maker) plat::Fatal("Cannot open the sheet '" + spec + "': its sheet class is not part of this program.");
        sheet = maker(parent, &g_GTex, parts.Key, m_treeImages);
    }
    sheet->SetSpec(spec);
    sheet->SetCode(parts.Code);
    return sheet;
}

void cuiMain::OpenSheet(const std::string& spec)
{
    CloseSheet();
    // Sheets are shown in the sheet area of the main window.
    if (m_rightPanel == nullptr) return;
    m_ownedSheet = CreateSheet(m_rightPanel, spec);
    m_currentSheet = m_ownedSheet.get();
    m_currentSheetKey = m_currentSheet->Key();
    int col = 0, row = 0, leftCol = 0, topRow = 0;
    if (FindSheetPosition(m_currentSheetKey, col, row, leftCol, topRow))
        m_currentSheet->SetStartPosition(col, row, leftCol, topRow);
    m_currentSheet->SetResetWidthsRequest(m_resetWidths);
    m_resetWidths = false;
    m_currentSheet->Show();
    if (m_currentSheet == nullptr) return;
    // The menus and the tool bar follow the open sheet (whether it can be
    // printed), wherever the focus stays.
    if (g_EvMan != nullptr) {
        g_EvMan->Send(ev::MenuRefresh, 0, 0);
        g_EvMan->Send(ev::ToolBarRefresh, 0, 0);
    }
    if (m_focusOnGrid) {
        cuiGrid* grid = m_currentSheet->Grid();
        if (grid != nullptr && grid->Enabled()) grid->SetFocus();
    } else if (m_tree != nullptr) {
        m_tree->View()->SetFocus();
    }
}

bool cuiMain::SheetGridShowing() const
{
    return m_currentSheet != nullptr && ShowingOnScreen(m_currentSheet->Grid());
}

void cuiMain::CloseSheet()
{
    // A sheet that is only named as the open one (tests) is not ours to close.
    if (m_ownedSheet == nullptr || m_currentSheet != m_ownedSheet.get()) {
        m_currentSheet = nullptr;
        m_currentSheetKey.clear();
        return;
    }
    if (SheetGridShowing()) {
        const cuiGrid* grid = m_currentSheet->Grid();
        const std::string& key = m_currentSheet->Key();
        auto older = std::find_if(m_history.begin(), m_history.end(), [&key](const HistoryNode& n) { return n.Key == key; });
        if (older != m_history.end()) m_history.erase(older);
        m_history.insert(m_history.begin(), HistoryNode{key, grid->Col(), grid->Row(), grid->LeftCol(), grid->TopRow()});
    }
    const plat::Control* active = m_mainForm != nullptr ? m_mainForm->ActiveControl() : nullptr;
    m_focusOnGrid = !(m_tree != nullptr && active == m_tree->View());
    m_currentSheet = nullptr;
    m_currentSheetKey.clear();
    m_ownedSheet.reset();
}

bool cuiMain::FindSheetPosition(const std::string& key, int& col, int& row, int& leftCol, int& topRow) const
{
    col = row = leftCol = topRow = 0;
    for (const HistoryNode& node : m_history) {
        if (node.Key != key) continue;
        col = node.Col;
        row = node.Row;
        leftCol = node.LeftCol;
        topRow = node.TopRow;
        return true;
    }
    return false;
}

void cuiMain::ReopenTreeSelection()
{
    if (m_mainForm == nullptr || !m_mainForm->Visible()) return;
    if (m_tree != nullptr) {
        if (cmcCellObj* cell = m_tree->SelectedCell()) ExecCellKey(cell, KeyEnter);
    } else if (!m_history.empty()) {
        OpenSheet(m_history.front().Key);
    }
}

void cuiMain::ClosePopups()
{
    if (g_EvMan != nullptr) g_EvMan->Send(ev::ClosePopups, 0, 0);
}

void cuiMain::RunCheckCell(cmcCellObj& cell, int row, int* errors, int* warnings)
{
    cmcCellCapsule capsule;
    capsule.Owner = m_mainForm;
    capsule.Cell = &cell;
    capsule.Bank = row;
    indActiveCell().Exec(&capsule, 0);
    if (capsule.ErrorMark) {
        m_checkErrors.push_back(ArgumentOf(cell));
        if (errors != nullptr) ++*errors;
    } else if (capsule.WarningMark) {
        m_checkWarnings.push_back(ArgumentOf(cell));
        if (warnings != nullptr) ++*warnings;
    }
}

void cuiMain::UpdateCheckList(int* errors, int* warnings)
{
    if (errors != nullptr) *errors = 0;
    if (warnings != nullptr) *warnings = 0;
    m_checkErrors.clear();
    m_checkWarnings.clear();
    if (m_tree == nullptr) return;

    // Each check runs on a cell of its own, so that nothing of one line
    // (its category, say) carries over to the next.
    for (int n = 0;; ++n) {
        const std::string line = g_GTex.GetText(CheckListKey, n);
        if (!line.empty() && line[0] == '#') break;
        cmcCellObj cell;
        cmcCellObj::ParseCell(&cell, line, nullptr, nullptr, false);
        RunCheckCell(cell, 0, errors, warnings);
    }
    // The channels of every bank, marking the bank's node.
    const std::string type = IsPmrModel() ? "Pmr" : "Lmr";
    for (int bank = 0; bank < WorkTables::Banks; ++bank) {
        cmcCellObj cell;
        const std::string text =
            "{(%CL_Check_Mch:[St_ChBank]GI_Sheet_Mch_" + type + ",Bank " + std::to_string(bank) + ")}";
        cmcCellObj::ParseCell(&cell, text, nullptr, nullptr, false);
        RunCheckCell(cell, bank, errors, warnings);
    }
    MarkTreeFromChecks();
}

void cuiMain::MarkTreeFromChecks()
{
    if (m_tree == nullptr) return;
    plat::TreeView* view = m_tree->View();
    // Every branch loses its marks, not only the first one.
    for (int i = 0; i < view->TopLevelCount(); ++i) m_tree->ClearMarks(view->TopLevelItem(i));
    // An error mark replaces a warning mark on the same node.
    for (int i = view->TopLevelCount() - 1; i >= 0; --i) {
        m_tree->MarkNodes(view->TopLevelItem(i), m_checkWarnings, cuiTree::WarningOverlay);
        m_tree->MarkNodes(view->TopLevelItem(i), m_checkErrors, cuiTree::ErrorOverlay);
    }
}
