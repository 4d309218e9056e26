// The print selections: which sheets the print commands print, in which
// order. The model adds to the tree's sheets the repeater lists, which have
// no tree node of their own.
#include "model/indMain.h"

#include "cells/ValueHandlers.h"
#include "core/cmcCellObj.h"
#include "core/cmcGTex.h"
#include "model/TableAccess.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiPrinter.h"
#include "ui/cuiSheet.h"
#include "ui/cuiTree.h"

#include <string>

namespace {

// The repeater lists: sheet key and the code before the bank or site.
struct RepeaterSheet {
    const char* key;
    const char* code;
};
constexpr RepeaterSheet LtrRepeaterSheet{"GI_Sheet_RptSetWin", ",R 9,"};
constexpr RepeaterSheet ZephRepeaterSheet{"GI_Sheet_RptSetWin_ZEPH", ",R 9,"};
constexpr RepeaterSheet SiteRepeaterSheet{"GI_Sheet_RptSetWin_Multisite", ",M 9,"};

// A repeater list is printed by its sheet; an overlay without that sheet
// (a language file of an older revision) prints the other sheets rather
// than stopping at a sheet it cannot build.
bool AddRepeaterSheet(std::vector<std::string>& list, const RepeaterSheet& sheet, int number)
{
    if (g_GTex.FindKey(std::string(sheet.key) + "_Cells") == nullptr) return false;
    list.push_back(sheet.key + std::string(sheet.code) + std::to_string(number));
    return true;
}

// Appends a spec; a node without a sheet adds nothing.
void Add(std::vector<std::string>& list, const std::string& spec)
{
    if (!spec.empty()) list.push_back(spec);
}

} // namespace

int indMain::TreeNodeCount() const { return Tree() != nullptr ? Tree()->View()->Count() : 0; }

std::string indMain::TreeNodeSpec(int n) const
{
    if (Tree() == nullptr) return {};
    const cmcCellObj* cell = cuiTree::CellOf(Tree()->View()->Item(n));
    return cell != nullptr && cell->Argument ? *cell->Argument : std::string();
}

void indMain::AddRepeaterSetSheets(std::vector<std::string>& list)
{
    for (int b = 0; b < WorkTables::Banks; ++b) {
        const RepeaterSheet* sheet = nullptr;
        if (IsLtrBank(b)) {
            if (GroupItemCount(b, LtrRepeaterKind) > 0) sheet = &LtrRepeaterSheet;
        } else if (IsZephBank(b) && GroupItemCount(b, ZephRepeaterKind) > 0) {
            sheet = &ZephRepeaterSheet;
        }
        if (sheet != nullptr && AddRepeaterSheet(list, *sheet, b)) SetListPrinting(true);
    }
}

void indMain::AddMultisiteRepeaterSheets(std::vector<std::string>& list)
{
    const cmcEeprom& image = CurrentImage();
    for (int s = 0; s < WorkTables::Sites; ++s) {
        const int idAddress = SiteRecords + SiteRecordSize * s + SiteIdByte;
        const int id = image.IsValid(idAddress) ? image.GetByte(idAddress) : 0;
        if (GroupItemCount(s, SiteRepeaterKind) <= 0 || id == 0) continue;
        if (AddRepeaterSheet(list, SiteRepeaterSheet, s)) SetListPrinting(true);
    }
}

std::vector<std::string> indMain::BankOperationSheets()
{
    std::vector<std::string> list;
    for (int n = 0; n < BankOperationNodes && n < TreeNodeCount(); ++n) Add(list, TreeNodeSpec(n));
    if (IsLmrModel()) AddRepeaterSetSheets(list);
    return list;
}

std::vector<std::string> indMain::MultisiteSheets()
{
    std::vector<std::string> list;
    if (IsLmrModel()) {
        list.push_back(SiteListSpec);
        AddMultisiteRepeaterSheets(list);
    }
    return list;
}

std::vector<std::string> indMain::PrintAllSheets()
{
    std::vector<std::string> list;
    const bool lmr = IsLmrModel();
    for (int n = 0; n < TreeNodeCount(); ++n) {
        const std::string spec = TreeNodeSpec(n);
        Add(list, spec);
        if (!lmr) continue;
        if (n == BankOperationNodes - 1) AddRepeaterSetSheets(list);
        if (spec == SiteListSpec) AddMultisiteRepeaterSheets(list);
    }
    return list;
}

void indMain::PrintList(const std::vector<std::string>& list)
{
    cuiPrinter* printer = Printer();
    if (printer == nullptr) {
        SetListPrinting(false);
        return;
    }
    printer->ClearList();
    for (const std::string& spec : list) printer->AddSheet(spec);
    printer->Print(true, CurrentSheet());
}

void indMain::PrintCurrent()
{
    cuiSheet* sheet = CurrentSheet();
    if (sheet != nullptr && IsLmrModel()) {
        if (sheet->Spec() == BankOperationSpec) {
            PrintBankOperationSheets();
            return;
        }
        if (sheet->Spec() == SiteListSpec) {
            PrintMultisiteSheets();
            return;
        }
    }
    ClosePopups();
    if (Printer() != nullptr) Printer()->Print(false, sheet);
}

void indMain::PrintBankOperationSheets()
{
    ClosePopups();
    PrintList(BankOperationSheets());
}

void indMain::PrintMultisiteSheets()
{
    ClosePopups();
    PrintList(MultisiteSheets());
}

void indMain::PrintAll()
{
    ClosePopups();
    PrintList(PrintAllSheets());
}
