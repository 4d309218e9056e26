// The help context of a cell, from the help table's topic and context
// sections; keys follow the function assigned to them.
#include "tests/cells/CellWorld.h"

#include "core/CellNames.h"
#include "core/cmcGTex.h"

#include <gtest/gtest.h>

namespace {

using namespace celltest;

constexpr int kConvP1Function = 175721;
constexpr int kRightUpFunction = 175718;
constexpr int kSmarTrunkRightDnFunction = 175735;
constexpr int kConvDialCwFunction = 175728;      // the counter-clockwise function follows
constexpr int kSmarTrunkDialCwFunction = 175744;
constexpr int kBank2PFunctions = 302480;         // P0 to P4 of key banks 2 and 3
constexpr int kBank3PFunctions = 302496;

std::vector<std::string> KeyLists()
{
    std::vector<std::string> lines;
    auto add = [&](std::vector<std::string> more) { lines.insert(lines.end(), more.begin(), more.end()); };
    add(ListSection("GI_Sheet_Sel_KDisp_Key_LmrPopup", "Flex0", {{0, "None"}, {4, "Scan"}, {85, "Emergency"}}));
    add(ListSection("GI_Sheet_Sel_KDisp_Key_PmrPopup", "Flex0", {{4, "Scan (PMR)"}}));
    add(ListSection("GI_Sheet_Sel_KDisp_Key_SmTrPopup", "Flex0", {{77, "Monitor"}}));
    add(ListSection("GI_Sheet_Sel_Dials_Conv_KovrPmr", "Flex0", {{10, "Volume"}, {11, "Channel"}}));
    add({"#GI_Sheet_Sel_KDisp_Scan_B_Key", "Scan (mode B)"});
    return lines;
}

// The help table: the same name twice among the topics (the first counts),
// the same topic twice among the contexts (the last counts).
class HelpTable {
public:
    HelpTable()
    {
        g_GTexHelp.InitState();
        g_GTexHelp.OpenOverlayLines({
            "#GI_AppItem_Topic_ID",
            "CL_Mch_FreqR\tFrequency",
            "CL_Mch_FreqR\tNot_This_One",
            "CL_Dtmf_CodeEmer\tEmergency_Code",
            "CL_Dtmf_CodeID\tId_Code",
            "CL_KDisp_Key_Conv_LeftUp\tLeft_Key",
            "CL_Mch_Text\tNo_Context",
            "#",
            "#GI_AppItem_Key_Assign_Topic_ID",
            "Scan\tKey_Scan",
            "Scan (PMR)\tKey_Scan_Pmr",
            "Scan (mode B)\tKey_Scan_B",
            "Emergency\tKey_Emergency",
            "Monitor\tKey_Monitor",
            "Volume\tKey_Volume",
            "Channel\tKey_Channel",
            "#",
            "#GI_AppItem_Context_ID",
            "Frequency\t1001",
            "Not_This_One\t9999",
            "Emergency_Code\t1201",
            "Id_Code\t1202",
            "Left_Key\t2100",
            "Key_Scan\t2004",
            "Key_Scan\t2044",
            "Key_Scan_Pmr\t2005",
            "Key_Scan_B\t2006",
            "Key_Emergency\t2007",
            "Key_Monitor\t2008",
            "Key_Volume\t2010",
            "Key_Channel\t2011",
            "#",
            "#End_Of_Ovl",
        });
    }
    ~HelpTable() { g_GTexHelp.InitState(); }
};

int ContextOf(CellWorld& world, int label, int index = 0)
{
    auto cell = MakeCell(CT_Null, label, index);
    Capsule c(cell.get(), false);
    return world.Main().HelpContextId(c.cap);
}

TEST(HelpContext, CellsFindTheirTopicAndTheLastContextOfIt)
{
    CellWorld world{KeyLists()};
    HelpTable help;
    TestImage(world.Image())
        .Byte(kConvP1Function, 4)
        .Byte(kRightUpFunction, 85)
        .Byte(kSmarTrunkRightDnFunction, 77)
        .Byte(kConvDialCwFunction, 10)
        .Byte(kConvDialCwFunction + 1, 11)
        .Byte(kSmarTrunkDialCwFunction, 11)
        .Byte(kSmarTrunkDialCwFunction + 1, 10)
        .Byte(kBank2PFunctions + 2, 85)
        .Byte(kBank3PFunctions + 4, 4);

    struct Case {
        int label;
        int index;
        int context;
    } const cases[] = {
        {CL_Mch_FreqR, 0, 1001},                 // first topic line wins
        {CL_Dtmf_Code, 6, 1201},                 // the emergency code entry
        {CL_Dtmf_Code, 7, 1202},                 // the ID code entry
        {CL_Dtmf_Code, 5, 0},                    // any other code: no topic
        {CL_Mch_Text, 0, 0},                     // a topic without a context
        {CL_Mch_FreqT, 0, 0},                    // no topic
        {CL_KDisp_Key_Conv_P1, 0, 2044},         // follows its function; last context wins
        {CL_KDisp_Key_Conv_RightUp, 0, 2007},
        {CL_KDisp_Key_B2_RightUp, 0, 2007},      // the mirrored key reads the same function
        {CL_KDisp_Key_SmTr_RightDn, 0, 2008},    // the SmarTrunk list
        {CL_KDisp_Key_Conv_P0, 0, 0},            // function 0 has a name but no topic
        {CL_KDisp_Key_Conv_LeftUp, 0, 2100},     // left keys: their own name
        {CL_KDisp_Key_Conv_DialCw, 0, 2010},     // the dials read the dial list
        {CL_KDisp_Key_Conv_DialCcw, 0, 2011},
        {CL_KDisp_Key_SmTr_DialCw, 0, 2011},
        {CL_KDisp_Key_SmTr_DialCcw, 0, 2010},
        {CL_KDisp_Key_B2_P2, 0, 2007},           // the P keys of key banks 2 and 3 have their own bytes
        {CL_KDisp_Key_B2_P4, 0, 0},
        {CL_KDisp_Key_B3_P4, 0, 2044},
        {CL_KDisp_Key_B3_P2, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CellLabelName(c.label) + "[" + std::to_string(c.index) + "]");
        EXPECT_EQ(ContextOf(world, c.label, c.index), c.context);
    }

    // Function 5 is named by a text of its own; a code without a name in the
    // list has no topic.
    TestImage(world.Image()).Byte(kConvP1Function, 5);
    EXPECT_EQ(ContextOf(world, CL_KDisp_Key_Conv_P1), 2006);
    TestImage(world.Image()).Byte(kConvP1Function, 200);
    EXPECT_EQ(ContextOf(world, CL_KDisp_Key_Conv_P1), 0);
}

TEST(HelpContext, PmrKeysNameTheirFunctionFromThePmrList)
{
    CellWorld world{KeyLists(), 1};
    HelpTable help;
    TestImage(world.Image()).Byte(kConvP1Function, 4);
    EXPECT_EQ(ContextOf(world, CL_KDisp_Key_Conv_P1), 2005);
}

} // namespace
