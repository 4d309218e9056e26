// The help context of a cell: the cell's name (for a key, the name of the
// function assigned to it) leads through the help table's topic section to
// a topic, and the topic through the context section to the context number
// that the help viewer opens.
#include "model/indMain.h"

#include "cells/ValueHandlers.h"
#include "core/CellNames.h"
#include "core/cmcCellCapsule.h"
#include "core/cmcCellObj.h"
#include "core/cmcFCache.h"
#include "core/CheckedFormat.h"
#include "core/cmcGTex.h"
#include "platform/ui/Form.h"
#include "platform/ui/Help.h"
#include "platform/ui/MessageBox.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace {

constexpr const char* kTopicSection = "GI_AppItem_Topic_ID";
constexpr const char* kKeyTopicSection = "GI_AppItem_Key_Assign_Topic_ID";
constexpr const char* kContextSection = "GI_AppItem_Context_ID";
// The entry cells of the key-function lists.
constexpr int kListEntryLabel = Flex0;
// Function code 5 (scan in mode B) is named by a text of its own.
constexpr int kScanModeBFunction = 5;
constexpr const char* kScanModeBName = "GI_Sheet_Sel_KDisp_Scan_B_Key";
// The help tables are walked until a line that is exactly "#"; the bound
// keeps a table without one from being read for ever.
constexpr int kMostTableLines = 100000;

// The DTMF code cells whose entries have topics of their own.
constexpr int kDtmfEmergencyIndex = 6;
constexpr int kDtmfIdIndex = 7;

enum class KeyList { Model, Kovr, SmarTrunk };

// Keys whose help follows the function assigned to them: labels First to
// Last, with the assigned function codes at Offset onwards.
struct KeyHelpRow {
    int First;
    int Last;
    int Offset;
    KeyList List;
};

constexpr KeyHelpRow kKeyHelp[] = {
    {CL_KDisp_Key_Conv_RightUp, CL_KDisp_Key_Conv_RightUp, 175718, KeyList::Model},
    {CL_KDisp_Key_B2_RightUp, CL_KDisp_Key_B2_RightUp, 175718, KeyList::Model},
    {CL_KDisp_Key_B3_RightUp, CL_KDisp_Key_B3_RightUp, 175718, KeyList::Model},
    {CL_KDisp_Key_Conv_RightDn, CL_KDisp_Key_Conv_RightDn, 175719, KeyList::Model},
    {CL_KDisp_Key_B2_RightDn, CL_KDisp_Key_B2_RightDn, 175719, KeyList::Model},
    {CL_KDisp_Key_B3_RightDn, CL_KDisp_Key_B3_RightDn, 175719, KeyList::Model},
    {CL_KDisp_Key_Conv_P0, CL_KDisp_Key_Conv_P4, 175720, KeyList::Model},
    {CL_KDisp_Key_Conv_Opf0, CL_KDisp_Key_Conv_Opf2, 175725, KeyList::Model},
    {CL_KDisp_Key_B2_Opf0, CL_KDisp_Key_B2_Opf2, 175725, KeyList::Model},
    {CL_KDisp_Key_B3_Opf0, CL_KDisp_Key_B3_Opf2, 175725, KeyList::Model},
    {CL_KDisp_Key_Conv_DialCw, CL_KDisp_Key_Conv_DialCw, 175728, KeyList::Kovr},
    {CL_KDisp_Key_Conv_DialCcw, CL_KDisp_Key_Conv_DialCcw, 175729, KeyList::Kovr},
    {CL_KDisp_Key_Conv_ExtEmr, CL_KDisp_Key_Conv_ExtEmr, 175730, KeyList::Model},
    {CL_KDisp_Key_B2_ExtEmr, CL_KDisp_Key_B2_ExtEmr, 175730, KeyList::Model},
    {CL_KDisp_Key_B3_ExtEmr, CL_KDisp_Key_B3_ExtEmr, 175730, KeyList::Model},
    {CL_KDisp_Key_SmTr_RightUp, CL_KDisp_Key_SmTr_RightDn, 175734, KeyList::SmarTrunk},
    {CL_KDisp_Key_SmTr_P0, CL_KDisp_Key_SmTr_P4, 175736, KeyList::SmarTrunk},
    {CL_KDisp_Key_SmTr_Opf0, CL_KDisp_Key_SmTr_Opf2, 175741, KeyList::SmarTrunk},
    {CL_KDisp_Key_SmTr_DialCw, CL_KDisp_Key_SmTr_DialCcw, 175744, KeyList::Kovr},
    {CL_KDisp_Key_SmTr_ExtEmr, CL_KDisp_Key_SmTr_ExtEmr, 175746, KeyList::SmarTrunk},
    {CL_KDisp_Key_B2_P0, CL_KDisp_Key_B2_P4, 302480, KeyList::Model},
    {CL_KDisp_Key_B3_P0, CL_KDisp_Key_B3_P4, 302496, KeyList::Model},
};

const char* ListKey(KeyList list)
{
    switch (list) {
    case KeyList::Kovr: return "GI_Sheet_Sel_Dials_Conv_KovrPmr";
    case KeyList::SmarTrunk: return "GI_Sheet_Sel_KDisp_Key_SmTrPopup";
    case KeyList::Model: break;
    }
    return IsLmrModel() ? "GI_Sheet_Sel_KDisp_Key_LmrPopup" : "GI_Sheet_Sel_KDisp_Key_PmrPopup";
}

// The working-image offset of the key's assigned function, when the label
// is a key whose help follows its function.
std::optional<std::pair<int, KeyList>> AssignedFunctionOf(int label)
{
    for (const KeyHelpRow& row : kKeyHelp)
        if (label >= row.First && label <= row.Last) return std::make_pair(row.Offset + (label - row.First), row.List);
    return std::nullopt;
}

// Field 1 of the first (or, with lastWins, the last) line of the help table
// section whose field 0 is name; the lines end at one that is exactly "#".
std::optional<std::string> LookUp(const char* section, const std::string& name, bool lastWins)
{
    std::optional<std::string> found;
    for (int n = 0; n < kMostTableLines; ++n) {
        const std::string line = g_GTexHelp.GetText(section, n);
        if (line == "#") break;
        const size_t tab = line.find('\t');
        if (tab == std::string::npos || line.compare(0, tab, name) != 0 || tab != name.size()) continue;
        found = line.substr(tab + 1);
        if (!lastWins) break;
    }
    return found;
}

} // namespace

int indMain::HelpContextId(const cmcCellCapsule& capsule)
{
    if (capsule.Cell == nullptr) return 0;
    int label = capsule.Cell->Label;
    if (label == CL_Dtmf_Code && capsule.Cell->Index == kDtmfEmergencyIndex) label = CL_Dtmf_CodeEmer;
    if (label == CL_Dtmf_Code && capsule.Cell->Index == kDtmfIdIndex) label = CL_Dtmf_CodeID;

    std::string name;
    const char* topicSection = kTopicSection;
    if (const auto key = AssignedFunctionOf(label)) {
        const int function = CurrentImage().GetByte(key->first);
        name = function == kScanModeBFunction ? g_GTex.GetText(kScanModeBName, 0)
                                              : ValueLabels().GetLabel(ListKey(key->second), kListEntryLabel, function);
        topicSection = kKeyTopicSection;
    } else {
        name = CellLabelName(label);
    }

    const std::optional<std::string> topic = LookUp(topicSection, name, false);
    if (!topic) return 0;
    const std::optional<std::string> context = LookUp(kContextSection, *topic, true);
    if (!context) return 0;
    return std::atoi(context->c_str());
}

void indMain::ShowHelpFile(unsigned command, int data)
{
    const std::string file = ProgramFolder() + g_GTex.GetText("GI_Sys_MyHelpFile", 0);
    if (plat::ShowHelp(file, command, data)) return;
    plat::MessageBox(CheckedFormat(g_GTex.GetMultiLineText("GI_AppMess_HelpNotShown"), {file}),
                     g_GTex.GetText("GI_Sys_AppTitle", 0), plat::MB_OK | plat::MB_ICONWARNING, MainForm());
}
