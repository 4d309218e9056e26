#include "model/iuiTree.h"

#include "cells/ValueHandlers.h"
#include "core/EventIds.h"
#include "core/cmcCellObj.h"
#include "model/ModelContext.h"
#include "model/TableAccess.h"
#include "platform/ui/TreeView.h"
#include "ui/SplitSheetSpec.h"

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

constexpr const char* BankSheetClass = "St_ChBank";
// A bank node's code is "Bank n": one of these letters first; the number
// after four characters for the icon, after five for the caption.
constexpr const char* BankCodeLetters = "Bank";
constexpr size_t IconNumberAt = 4;
constexpr size_t CaptionNumberAt = 5;
// The caption a re-read name may fill: "128: " and the 12-byte name.
constexpr size_t BankCaptionLimit = 33;

int NumberAfter(const std::string& code, size_t at)
{
    if (code.size() <= at) return 0;
    return static_cast<int>(std::strtol(code.c_str() + at, nullptr, 10));
}

std::optional<SheetSpecParts> BankSheetSpec(const plat::TreeNode* node)
{
    const cmcCellObj* cell = cuiTree::CellOf(node);
    if (cell == nullptr || !cell->Argument) return std::nullopt;
    SheetSpecParts parts = SplitSheetSpec(*cell->Argument);
    if (parts.Class != BankSheetClass) return std::nullopt;
    return parts;
}

// The nodes from `first` in node order up to its next sibling.
template <typename Fn>
void ForEachInSpan(plat::TreeNode* first, Fn&& fn)
{
    if (first == nullptr) return;
    plat::TreeView& view = first->Owner();
    const plat::TreeNode* sibling = first->GetNextSibling();
    const int end = sibling != nullptr ? sibling->AbsoluteIndex() : view.Count();
    for (int i = first->AbsoluteIndex(); i < end; ++i)
        if (!fn(view.Item(i))) return;
}

} // namespace

iuiTree::iuiTree(plat::Container* owner, cmcGTex* texts, const std::string& key, plat::ImageList* images)
    : cuiTree(owner, texts, key, images)
{
    m_events = cmcEvSubscription(MemberEventHandler<&iuiTree::OnEvent>(this));
}

iuiTree::~iuiTree() { m_events.Reset(); }

int iuiTree::BankIcon(int b)
{
    int base = ConventionalIcon;
    if (IsLtrBank(b)) base = LtrIcon;
    else if (IsSmarTrunkBank(b)) base = SmarTrunkIcon;
    else if (IsZephBank(b) || IsMultisiteBank(b)) base = TrunkedIcon;
    return base + (BankChannelCount(b) > 0 ? 1 : 0);
}

void iuiTree::UpdateBankIcons(plat::TreeNode* first)
{
    ForEachInSpan(first, [](plat::TreeNode* node) {
        const std::optional<SheetSpecParts> spec = BankSheetSpec(node);
        if (!spec || spec->Code.empty() || std::strchr(BankCodeLetters, spec->Code[0]) == nullptr) return true;
        const int bank = NumberAfter(spec->Code, IconNumberAt);
        // A node of a bank the radio does not have keeps its picture.
        if (bank < 0 || bank >= WorkTables::Banks) return true;
        const int icon = BankIcon(bank);
        if (icon != node->ImageIndex()) {
            node->SetImageIndex(icon);
            node->SetSelectedIndex(icon);
        }
        return true;
    });
}

void iuiTree::RenameBankNode(plat::TreeNode* first, int bank, const std::string& caption)
{
    ForEachInSpan(first, [&](plat::TreeNode* node) {
        const std::optional<SheetSpecParts> spec = BankSheetSpec(node);
        if (!spec || NumberAfter(spec->Code, CaptionNumberAt) != bank) return true;
        node->SetText(caption);
        node->SetSelectedIndex(node->ImageIndex());
        return false;
    });
}

void iuiTree::OnEvent(const dst_Event* event)
{
    plat::TreeNode* first = View() != nullptr ? View()->Item(0) : nullptr;
    switch (event->type) {
    case ev::UpdateBankNodes: UpdateBankIcons(first); break;
    case ev::BankNameChanged: RenameBankNode(first, static_cast<int>(event->p2), event->Text()); break;
    case ev::RereadBankName: {
        const cmcEeprom* image = CurrentModelContext().CurrentImage;
        const int bank = static_cast<int>(event->p2);
        if (image == nullptr || bank < 0 || bank >= WorkTables::Banks) break;
        RenameBankNode(first, bank, FormatBankName(*image, bank).substr(0, BankCaptionLimit));
        break;
    }
    default: break;
    }
}
