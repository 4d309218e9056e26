// Multisite cells: what stored settings and list entries show, what typed,
// stepped or picked input stores and what is refused; sites, IDs and talk
// groups typed into the empty row up to each list's size; the site's
// repeater cell; the settings refused while the image is in the older memory
// layout, and drawing that never raises that refusal.
#include "cells/CellQueries.h"
#include "cells/HandlerSupport.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcGTex.h"
#include "model/EepromMap.h"
#include "model/TableAccess.h"
#include "platform/base/RecordingCanvas.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

using namespace celltest;

namespace {

constexpr int kModeBits = 303639;
constexpr int kLayout = 303656;
constexpr int kMonitorTypesP2P3 = 303657;

std::vector<std::string> MultisiteLists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    add(ListSection("GI_Sheet_Sel_Misc_OnOff", "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Misc_OnOff2", "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Misc_OnOff_I", "Flex0", {{0, "On"}, {1, "Off"}}));
    add(ListSection("GI_Sheet_Sel_Mch_DataWriteInh", "Flex0", {{0, "Allow"}, {1, "Inhibit"}}));
    add(ListSection("GI_Sheet_Sel_Dig_Option_UnitID", "Flex0",
                    {{0, "Individual"}, {1, "Individual (2)"}, {2, "Global, edited"}, {3, "Global, automatic"}}));
    add(ListSection("GI_Sheet_Sel_Dig_Option_RoamingHomePriority", "Flex0",
                    {{0, "None"}, {1, "Low"}, {2, "High"}, {3, "Highest"}}));
    add(ListSection("GI_Sheet_Sel_Dig_Option_MultisiteMonitorType", "Flex0",
                    {{0, "Message errors"}, {1, "Level"}, {2, "Site ID"}, {3, "Type 3"}}));
    add({"#GI_AppMess_ChErr_Overflow", "The list is full.", "#"});
    add({"#GI_Mess_CloneErr_Datasize_Over", "The data does not fit the radio's memory layout.", "Read the radio again.",
         "#"});
    return lines;
}

CellExecResult RunCell(Capsule& c) { return indActiveCell().Exec(&c.cap, 0); }

struct Drawn {
    std::string text;
    bool grey = false;
    bool error = false;
    bool warning = false;
};

// One input to a cell: typed text, a key on the grid, or a pick from a list.
struct Input {
    const char* typed = nullptr;
    int key = 0;
    int pick = -1;
};

struct Multisite : ::testing::Test {
    uint8_t& At(int offset) { return world.Image().Data()[offset]; }
    int Word(int offset) { return At(offset) << 8 | At(offset + 1); }
    CellExecResult Apply(int category, int label, int index, const Input& in)
    {
        auto cell = MakeCell(category, label, index);
        Capsule c(cell.get());
        if (in.typed) c.Edit(in.typed);
        if (in.key) c.cap.Key = in.key;
        if (in.pick >= 0) c.Pick(Flex0, in.pick);
        return RunCell(c);
    }
    Drawn Draw(int category, int label, int index = 0)
    {
        auto cell = MakeCell(category, label, index);
        plat::RecordingCanvas canvas;
        canvas.GetFont().color = plat::clWindowText;
        Capsule c(cell.get(), false);
        c.cap.Canvas = &canvas;
        RunCell(c);
        return {c.cap.Text, canvas.GetFont().color == plat::clSilver, c.cap.ErrorMark, c.cap.WarningMark};
    }
    datCh Read(int kind, int index) { return TestImage(world.Image()).Read(kind, index); }
    void NewerLayout(bool on) { At(kLayout) = uint8_t(on ? At(kLayout) | 0x80 : At(kLayout) & 0x7F); }

    CellWorld world{MultisiteLists()};
    plat::ScopedDialogScript dialogs;
};

// ---- Settings of the working image ----

struct SettingCase {
    const char* what;
    int label;
    std::vector<std::pair<int, int>> stored;  // offset, byte
    Input input;
    std::vector<std::pair<int, int>> after;   // offset, byte
    std::string shown;
};

TEST_F(Multisite, SettingsShowStoreAndRefuse)
{
    NewerLayout(true);
    const SettingCase cases[] = {
        {"system code typed, 16 bits", CL_Multisite_SystemCode, {}, {.typed = "12345"}, {{303624, 0x30}, {303625, 0x39}},
         "12345"},
        {"system code 0 is refused", CL_Multisite_SystemCode, {{303624, 0}, {303625, 7}}, {.typed = "0"},
         {{303624, 0}, {303625, 1}}, "1"},
        {"integrator code stops at 15", CL_Multisite_IntegratorCode, {{303626, 3}}, {.typed = "99"}, {{303626, 15}},
         "15"},
        {"unit ID global, automatic sets bits 5 and 4", CL_Multisite_Fleet_Unit_ID, {{kModeBits, 0x00}}, {.pick = 3},
         {{kModeBits, 0x30}}, "Global, automatic"},
        {"unit ID global, edited", CL_Multisite_Fleet_Unit_ID, {{kModeBits, 0xFF}}, {.pick = 2}, {{kModeBits, 0xEF}},
         "Global, edited"},
        {"home priority high is bit 2, low bit 6", CL_Multisite_Rmg_Home_Priority, {{kModeBits, 0x40}}, {.pick = 2},
         {{kModeBits, 0x04}}, "High"},
        {"home priority from both bits", CL_Multisite_Rmg_Home_Priority, {{kModeBits, 0x44}}, {}, {{kModeBits, 0x44}},
         "Highest"},
        {"handshake failure is inverted", CL_Multisite_Rmg_Handshake_Failure, {{kModeBits, 0x00}}, {.pick = 1},
         {{kModeBits, 0x08}}, "Off"},
        {"background scan", CL_Multisite_Rmg_Background, {{kModeBits, 0x00}}, {.pick = 1}, {{kModeBits, 0x02}}, "On"},
        {"receive level is signed", CL_Multisite_RSSI_Level, {{303630, 0xA6}}, {}, {{303630, 0xA6}}, "-90"},
        {"receive level typed", CL_Multisite_RSSI_Level, {{303630, 0xA6}}, {.typed = "-100"}, {{303630, 0x9C}},
         "-100"},
        {"scan list holds at most 48 sites", CL_Multisite_Rmg_Scan_List, {{303629, 2}}, {.typed = "60"},
         {{303629, 48}}, "48"},
        {"adjacent-site level off", CL_Multisite_Rmg_AdjSite_RSSI_Level, {{303649, 0}}, {}, {{303649, 0}}, "OFF"},
        {"adjacent-site level typed", CL_Multisite_Rmg_AdjSite_RSSI_Level, {{303649, 0}}, {.typed = "-80"},
         {{303649, 0xB0}}, "-80"},
        {"adjacent-site level stepped to the top is off", CL_Multisite_Rmg_AdjSite_RSSI_Level, {{303649, 0xBA}},
         {.key = cellkey::Space}, {{303649, 0}}, "OFF"},
        {"adjacent-site level typed at the top is off", CL_Multisite_Rmg_AdjSite_RSSI_Level, {{303649, 0xB0}},
         {.typed = "-60"}, {{303649, 0}}, "OFF"},
        {"fleet ID wraps from 30 to 1", CL_Multisite_Fleet_ID, {{303648, 30}}, {.key = cellkey::Space},
         {{303648, 1}}, "1"},
        {"global unit ID typed", CL_Multisite_Global_Edit, {}, {.typed = "1999"}, {{303646, 0x07}, {303647, 0xCF}},
         "1999"},
        {"monitor type of P2 is the high nibble", CL_MultiSite_MonitorTypeP2, {{kMonitorTypesP2P3, 0x02}},
         {.pick = 1}, {{kMonitorTypesP2P3, 0x12}}, "Level"},
        {"monitor type of P1 keeps the layout bit", CL_MultiSite_MonitorTypeP1, {{kLayout, 0x80}}, {.pick = 2},
         {{kLayout, 0x82}}, "Site ID"},
        {"consecutive errors off", CL_MultiSite_ContinuousErrorCountP3, {{303666, 4}}, {.typed = "0"}, {{303666, 0}},
         "OFF"},
        {"consecutive errors typed", CL_MultiSite_ContinuousErrorCountP1, {{303664, 0}}, {.typed = "7"},
         {{303664, 7}}, "7"},
        {"site ID errors stop at 50", CL_MultiSite_CCSiteIDErrorP2, {{303674, 1}}, {.typed = "77"}, {{303674, 50}},
         "50"},
        {"DRSSI level of P3", CL_Multisite_DRSSILP3, {{303660, 0x88}}, {}, {{303660, 0x88}}, "-120"},
        {"sampling frames of P2", CL_MultiSite_NumSamplingFrameP2, {{303665, 3}, {303668, 1}}, {.typed = "51"},
         {{303668, 50}}, "50"},
    };
    for (const SettingCase& k : cases) {
        SCOPED_TRACE(k.what);
        for (auto [offset, byte] : k.stored) At(offset) = uint8_t(byte);
        if (k.input.typed || k.input.key || k.input.pick >= 0) Apply(CT_Null, k.label, 0, k.input);
        for (auto [offset, byte] : k.after) EXPECT_EQ(At(offset), byte) << "at " << offset;
        EXPECT_EQ(Draw(CT_Null, k.label).text, k.shown);
    }
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(Multisite, SettingsGreyWhereTheModeLeavesThemUnused)
{
    // Unit ID: individual, global edited, global automatic.
    At(kModeBits) = 0x00;
    EXPECT_TRUE(Draw(CT_Null, CL_Multisite_Fleet_ID).grey);
    EXPECT_TRUE(Draw(CT_Null, CL_Multisite_Global_Edit).grey);
    At(kModeBits) = 0x20;
    EXPECT_FALSE(Draw(CT_Null, CL_Multisite_Fleet_ID).grey);
    EXPECT_FALSE(Draw(CT_Null, CL_Multisite_Global_Edit).grey);
    EXPECT_TRUE(Draw(CT_Null, CL_Multisite_Global_Auto).grey);
    At(kModeBits) = 0x30;
    EXPECT_TRUE(Draw(CT_Null, CL_Multisite_Global_Edit).grey);
    EXPECT_FALSE(Draw(CT_Null, CL_Multisite_Global_Auto).grey);
    // The adjacent-site check follows bit 2.
    EXPECT_TRUE(Draw(CT_Null, CL_Multisite_Rmg_AdjSite_RSSI_Level).grey);
    At(kModeBits) = 0x04;
    EXPECT_FALSE(Draw(CT_Null, CL_Multisite_Rmg_AdjSite_RSSI_Level).grey);

    // P3 of type 2: no message-error monitoring; P1 of type 1: level monitoring.
    At(kMonitorTypesP2P3) = 0x02;
    At(kLayout) = 0x81;
    EXPECT_TRUE(Draw(CT_Null, CL_MultiSite_MERTimeP3).grey);
    EXPECT_TRUE(Draw(CT_Null, CL_MultiSite_MERMsgP3).grey);
    EXPECT_TRUE(Draw(CT_Null, CL_Multisite_DRSSILP3).grey);
    EXPECT_TRUE(Draw(CT_Null, CL_MultiSite_TRSSIDP3).grey);
    EXPECT_FALSE(Draw(CT_Null, CL_MultiSite_MERTimeP1).grey);
    EXPECT_FALSE(Draw(CT_Null, CL_Multisite_DRSSILP1).grey);
    EXPECT_FALSE(Draw(CT_Null, CL_MultiSite_TRSSIDP1).grey);
    EXPECT_TRUE(Draw(CT_Null, CL_Multisite_DRSSILP2).grey);
    At(kMonitorTypesP2P3) = 0x01;
    EXPECT_FALSE(Draw(CT_Null, CL_MultiSite_MERTimeP3).grey);
    EXPECT_FALSE(Draw(CT_Null, CL_Multisite_DRSSILP3).grey);
    EXPECT_FALSE(Draw(CT_Null, CL_MultiSite_TRSSIDP3).grey);

    // Sampling frames and allowance only count with consecutive errors on.
    At(303665) = 0;
    EXPECT_TRUE(Draw(CT_Null, CL_MultiSite_NumSamplingFrameP2).grey);
    EXPECT_TRUE(Draw(CT_Null, CL_MultiSite_NumAllowanceP2).grey);
    At(303665) = 2;
    EXPECT_FALSE(Draw(CT_Null, CL_MultiSite_NumSamplingFrameP2).grey);
    EXPECT_FALSE(Draw(CT_Null, CL_MultiSite_NumAllowanceP2).grey);
}

// ---- The older memory layout ----

TEST_F(Multisite, TheOlderLayoutRefusesMonitorSettingsWithTheDataSizeMessage)
{
    NewerLayout(false);
    At(kMonitorTypesP2P3) = 0x21;
    At(303664) = 3;
    At(303675) = 0;
    for (int i = 0; i < 4; ++i) dialogs.Answer(plat::IDOK);

    auto cell = MakeCell(CT_Null, CL_MultiSite_MonitorTypeP2);
    Capsule picked(cell.get());
    picked.Pick(Flex0, 0);
    RunCell(picked);
    EXPECT_EQ(At(kMonitorTypesP2P3), 0x21);
    EXPECT_EQ(Draw(CT_Null, CL_MultiSite_MonitorTypeP2).text, "Site ID");
    // A stepped value is drawn back to the kept one at once.
    Capsule stepped(cell.get());
    stepped.cap.Key = cellkey::Space;
    RunCell(stepped);
    EXPECT_EQ(At(kMonitorTypesP2P3), 0x21);
    EXPECT_EQ(stepped.cap.Text, "Site ID");
    auto count = MakeCell(CT_Null, CL_MultiSite_ContinuousErrorCountP1);
    Capsule typed(count.get());
    typed.Edit("9");
    RunCell(typed);
    EXPECT_EQ(typed.cap.Text, "3");
    EXPECT_EQ(At(303664), 3);
    EXPECT_EQ(Draw(CT_Null, CL_MultiSite_ContinuousErrorCountP1).text, "3");
    Apply(CT_Null, CL_MultiSite_CCSiteIDErrorP3, 0, {.key = cellkey::Space});
    EXPECT_EQ(At(303675), 0);
    EXPECT_EQ(Draw(CT_Null, CL_MultiSite_CCSiteIDErrorP3).text, "OFF");

    ASSERT_EQ(dialogs.Boxes().size(), 4u);
    for (const auto& box : dialogs.Boxes()) {
        EXPECT_EQ(box.text, "The data does not fit the radio's memory layout.\nRead the radio again.");
        EXPECT_EQ(box.Icon(), plat::MB_ICONERROR);
    }
    // The layout bit is not a setting of these cells.
    EXPECT_EQ(At(kLayout) & 0x80, 0);

    // Settings without the layout rule still change.
    Apply(CT_Null, CL_MultiSite_NumSamplingFrameP1, 0, {.typed = "12"});
    EXPECT_EQ(At(303667), 12);
    EXPECT_EQ(dialogs.Boxes().size(), 4u);

    // In the newer layout a count typed over "OFF" shows at once.
    NewerLayout(true);
    Capsule stored(count.get());
    At(303664) = 0;
    stored.Edit("6");
    RunCell(stored);
    EXPECT_EQ(stored.cap.Text, "6");
    EXPECT_EQ(At(303664), 6);
    EXPECT_EQ(dialogs.Boxes().size(), 4u);
}

TEST_F(Multisite, DrawingAnOutOfRangeValueNeverRaisesTheDataSizeMessage)
{
    NewerLayout(false);
    At(303665) = 99;  // consecutive errors of P2, above 10
    At(303673) = 200; // site ID errors of P1, above 50
    At(kLayout) = 0x0F;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Draw(CT_Null, CL_MultiSite_ContinuousErrorCountP2).text, "10");
        EXPECT_EQ(Draw(CT_Null, CL_MultiSite_CCSiteIDErrorP1).text, "50");
        Draw(CT_Null, CL_MultiSite_MonitorTypeP1);
    }
    EXPECT_TRUE(dialogs.Boxes().empty());
    EXPECT_EQ(At(303665), 99);
    EXPECT_EQ(At(303673), 200);
    EXPECT_EQ(At(kLayout), 0x0F);
}

// ---- Site list ----

// Three sites: site 0 with two repeaters and home repeater 2, site 1 without
// repeaters, site 2 with its site ID cleared.
struct SiteWorld : Multisite {
    SiteWorld()
    {
        TestImage image(world.Image());
        image.SiteCount(3).GroupCount(31, 0, 2);
        image.U16(303624, 700).Byte(303626, 5);
        image.Item(30, 0, [](datCh& r) {
            r.SiteId = 11, r.SystemCode = 700, r.IntegratorCode = 5, r.SiteHome1 = 2;
        });
        image.Item(30, 1, [](datCh& r) { r.SiteId = 12, r.SystemCode = 701, r.IntegratorCode = 5, r.SiteHome1 = 1; });
        image.Item(30, 2, [](datCh& r) { r.SiteId = 0, r.SystemCode = 700, r.IntegratorCode = 4; });
        world.Main().Pack(world.Image());
    }
};

TEST_F(SiteWorld, SiteColumnsShowStoreAndMark)
{
    Drawn d = Draw(CT_Multisite_SL, CL_MultiSite_SiteID, 0);
    EXPECT_EQ(d.text, "11");
    d = Draw(CT_Multisite_SL, CL_Multisite_Rpt, 0);
    EXPECT_EQ(d.text, " 2");
    EXPECT_FALSE(d.error);
    // No repeater in the site's group.
    d = Draw(CT_Multisite_SL, CL_Multisite_Rpt, 1);
    EXPECT_EQ(d.text, " 1");
    EXPECT_TRUE(d.error);
    // The system code differs from the system's.
    EXPECT_TRUE(Draw(CT_Multisite_SL, CL_Multisite_SiteList_SystemCode, 1).warning);
    EXPECT_FALSE(Draw(CT_Multisite_SL, CL_Multisite_SiteList_SystemCode, 0).warning);
    EXPECT_FALSE(Draw(CT_Multisite_SL, CL_Multisite_SiteList_IntegratorCode, 1).warning);

    // Without a site ID: no mark, the other columns dashed and inert.
    EXPECT_EQ(Draw(CT_Multisite_SL, CL_MultiSite_SiteID, 2).text, "");
    for (int label : {CL_Multisite_Rpt, CL_Multisite_SiteList_Areabit, CL_Multisite_SiteList_OTAU,
                      CL_Multisite_SiteList_IntegratorCode, CL_Multisite_SiteList_SystemCode}) {
        SCOPED_TRACE(label);
        d = Draw(CT_Multisite_SL, label, 2);
        EXPECT_EQ(d.text, "---");
        EXPECT_TRUE(d.grey);
        EXPECT_FALSE(d.error);
        EXPECT_FALSE(d.warning);
    }
    Apply(CT_Multisite_SL, CL_Multisite_SiteList_IntegratorCode, 2, {.typed = "9"});
    EXPECT_EQ(Read(30, 2).IntegratorCode, 4);

    // Edits of site 1.
    Apply(CT_Multisite_SL, CL_Multisite_SiteList_Areabit, 1, {.pick = 1});
    Apply(CT_Multisite_SL, CL_Multisite_SiteList_OTAU, 1, {.pick = 1});
    Apply(CT_Multisite_SL, CL_Multisite_SiteList_IntegratorCode, 1, {.typed = "14"});
    Apply(CT_Multisite_SL, CL_Multisite_SiteList_SystemCode, 1, {.typed = "40000"});
    Apply(CT_Multisite_SL, CL_MultiSite_SiteID, 1, {.typed = "251"});
    const datCh site = Read(30, 1);
    EXPECT_EQ(site.SiteFlags.AreaBit, 1);
    EXPECT_EQ(site.SiteFlags.Otau, 1);
    EXPECT_EQ(site.IntegratorCode, 14);
    EXPECT_EQ(site.SystemCode, 32766u);
    EXPECT_EQ(site.SiteId, 250);
    EXPECT_EQ(Draw(CT_Multisite_SL, CL_Multisite_SiteList_OTAU, 1).text, "Inhibit");
    EXPECT_TRUE(Draw(CT_Multisite_SL, CL_Multisite_SiteList_IntegratorCode, 1).warning);
    // The other sites kept their records.
    EXPECT_EQ(Read(30, 0).SiteId, 11);
    EXPECT_EQ(Read(30, 0).IntegratorCode, 5);

    // A site ID of 0 clears the site.
    Apply(CT_Multisite_SL, CL_MultiSite_SiteID, 1, {.typed = "0"});
    EXPECT_EQ(Read(30, 1).SiteId, 0);
    EXPECT_EQ(Draw(CT_Multisite_SL, CL_Multisite_Rpt, 1).text, "---");
    EXPECT_FALSE(Draw(CT_Multisite_SL, CL_Multisite_Rpt, 1).error);

    // A site with repeaters but no home repeater is marked.
    TestImage(world.Image()).Item(30, 0, [](datCh& r) { r.SiteHome1 = 0; });
    d = Draw(CT_Multisite_SL, CL_Multisite_Rpt, 0);
    EXPECT_EQ(d.text, "");
    EXPECT_TRUE(d.error);
}

TEST_F(SiteWorld, EnterOnASitesRepeatersOpensItsRepeaterWindow)
{
    EXPECT_EQ(Apply(CT_Multisite_SL, CL_Multisite_Rpt, 1, {.key = cellkey::Enter}), erPopupOpened);
    ASSERT_EQ(world.popups.calls.size(), 1u);
    EXPECT_EQ(world.popups.calls[0].what, "repeaters");
    EXPECT_EQ(world.popups.calls[0].focus, 31);
    EXPECT_EQ(world.popups.calls[0].first, 1);
    // Not for a row without a site.
    EXPECT_NE(Apply(CT_Multisite_SL, CL_Multisite_Rpt, 2, {.key = cellkey::Enter}), erPopupOpened);
    EXPECT_EQ(world.popups.calls.size(), 1u);
}

TEST_F(SiteWorld, TheEmptyRowShowsNothingAndChangesNoSite)
{
    // Stale bytes past the last site.
    TestImage(world.Image()).Item(30, 3, [](datCh& r) { r.SiteId = 99, r.IntegratorCode = 7, r.SystemCode = 9; });
    const std::vector<uint8_t> before(world.Image().Data(), world.Image().Data() + world.Image().Size());
    for (int label : {CL_MultiSite_SiteID, CL_Multisite_Rpt, CL_Multisite_SiteList_Areabit, CL_Multisite_SiteList_OTAU,
                      CL_Multisite_SiteList_IntegratorCode, CL_Multisite_SiteList_SystemCode}) {
        SCOPED_TRACE(label);
        const Drawn d = Draw(CT_Multisite_SL, label, 3);
        EXPECT_EQ(d.text, "");
        EXPECT_FALSE(d.error || d.warning);
        if (label == CL_MultiSite_SiteID) continue;
        Apply(CT_Multisite_SL, label, 3, {.pick = 1});
        Apply(CT_Multisite_SL, label, 3, {.typed = "5"});
    }
    EXPECT_EQ(MultisiteSiteCount(), 3);
    EXPECT_TRUE(world.popups.calls.empty());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), world.Image().Data()));
}

TEST_F(Multisite, SitesAreTypedIntoTheEmptyRowUpToFortyEight)
{
    TestImage(world.Image()).SiteCount(46);
    world.Main().Pack(world.Image());
    for (int row = 46; row < 48; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(Draw(CT_Multisite_SL, CL_MultiSite_SiteID, row).text, "");
        EXPECT_EQ(Apply(CT_Multisite_SL, CL_MultiSite_SiteID, row, {.key = '7'}), erStartEdit);
        EXPECT_EQ(MultisiteSiteCount(), row + 1);
        const std::string id = std::to_string(100 + row);
        Apply(CT_Multisite_SL, CL_MultiSite_SiteID, row, {.typed = id.c_str()});
        EXPECT_EQ(Read(30, row).SiteId, 100 + row);
        EXPECT_EQ(Draw(CT_Multisite_SL, CL_MultiSite_SiteID, row).text, id);
    }
    ASSERT_EQ(world.SentOf(ev::InsertMultisiteSite).size(), 2u);
    EXPECT_EQ(world.SentOf(ev::InsertMultisiteSite)[1].p2, 47);
    world.Pump();
    EXPECT_FALSE(world.PostedOf(ev::RepaintLabelled).empty());
    EXPECT_TRUE(dialogs.Boxes().empty());

    // The 49th site is refused with the overflow message.
    dialogs.Answer(plat::IDOK);
    EXPECT_EQ(Apply(CT_Multisite_SL, CL_MultiSite_SiteID, 48, {.key = '5'}), erNothing);
    EXPECT_EQ(MultisiteSiteCount(), 48);
    EXPECT_EQ(world.SentOf(ev::InsertMultisiteSite).size(), 2u);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "The list is full.");
    EXPECT_EQ(dialogs.Boxes()[0].Icon(), plat::MB_ICONERROR);
}

// ---- Multisite IDs and talk groups ----

TEST_F(Multisite, IdAndTalkGroupColumnsShowStoreAndRefuse)
{
    TestImage image(world.Image());
    image.IdListCount(32, 2).TalkGroupCount(33, 2);
    image.Item(32, 1, [](datCh& r) { r.IndId = 5, r.MsIndFleet = 3; });
    image.Item(33, 1, [](datCh& r) { r.GrpId = 2000, r.MsGrpFleet = 30; });
    world.Main().Pack(world.Image());

    EXPECT_EQ(Draw(CT_Multisite_Inv, CL_Multisite_Ind_Id_Dec, 1).text, "5");
    EXPECT_EQ(Draw(CT_Multisite_Inv, CL_Multisite_Ind_FleetID, 1).text, "3");
    Apply(CT_Multisite_Inv, CL_Multisite_Ind_Id_Dec, 1, {.typed = "2500"});
    EXPECT_EQ(Read(32, 1).IndId, 2000u);
    Apply(CT_Multisite_Inv, CL_Multisite_Ind_FleetID, 1, {.typed = "31"});
    EXPECT_EQ(Read(32, 1).MsIndFleet, 30);
    Apply(CT_Multisite_Inv, CL_Multisite_Ind_Id_Name, 1, {.typed = "Depot"});
    EXPECT_EQ(std::memcmp(Read(32, 1).Text, "Depot       ", 12), 0);

    // Talk groups 2001 to 2046 do not exist.
    Apply(CT_Multisite_Tg, CL_Multisite_Grp_Id_Dec, 1, {.key = cellkey::Space});
    EXPECT_EQ(Read(33, 1).GrpId, 2047u);
    EXPECT_EQ(Draw(CT_Multisite_Tg, CL_Multisite_Grp_Id_Dec, 1).text, "2047");
    Apply(CT_Multisite_Tg, CL_Multisite_Grp_Id_Dec, 1, {.key = cellkey::Backspace});
    EXPECT_EQ(Read(33, 1).GrpId, 2000u);
    Apply(CT_Multisite_Tg, CL_Multisite_Grp_Id_Dec, 1, {.typed = "2020"});
    EXPECT_EQ(Read(33, 1).GrpId, 2000u);
    Apply(CT_Multisite_Tg, CL_Multisite_Grp_Id_Dec, 1, {.typed = "2047"});
    EXPECT_EQ(Read(33, 1).GrpId, 2047u);
    world.Pump();
    EXPECT_FALSE(world.PostedOf(ev::RepaintLabelled).empty());
    Apply(CT_Multisite_Tg, CL_Multisite_Grp_FleetID, 1, {.key = cellkey::Space});
    EXPECT_EQ(Read(33, 1).MsGrpFleet, 1);
    // The empty rows show nothing.
    EXPECT_EQ(Draw(CT_Multisite_Tg, CL_Multisite_Grp_FleetID, 2).text, "");
    EXPECT_EQ(Draw(CT_Multisite_Inv, CL_Multisite_Ind_Id_Name, 2).text, "");
}

struct GrowingCase {
    const char* what;
    int category;
    int kind;
    int entryLabel;
    int insertEvent;
    bool repaints;  // a new entry repaints every labelled cell
};

TEST_F(Multisite, IdsAndTalkGroupsAreTypedIntoTheEmptyRowUpToFiveHundred)
{
    const GrowingCase cases[] = {
        {"individual IDs", CT_Multisite_Inv, 32, CL_Multisite_Ind_Id_Dec, ev::InsertMultisiteId, false},
        {"talk groups", CT_Multisite_Tg, 33, CL_Multisite_Grp_Id_Dec, ev::InsertMultisiteTalkGroup, true},
    };
    constexpr int kLimit = 500;
    for (const GrowingCase& k : cases) {
        SCOPED_TRACE(k.what);
        TestImage image(world.Image());
        if (k.kind == 32) image.IdListCount(32, kLimit - 1);
        else image.TalkGroupCount(33, kLimit - 1);
        world.Main().Pack(world.Image());
        auto count = [&] { return k.kind == 32 ? IndListCount(32) : TgListCount(33); };

        world.Pump();
        const size_t repaints = world.PostedOf(ev::RepaintLabelled).size();
        EXPECT_EQ(Apply(k.category, k.entryLabel, kLimit - 1, {.key = '9'}), erStartEdit);
        EXPECT_EQ(count(), kLimit);
        ASSERT_EQ(world.SentOf(k.insertEvent).size(), 1u);
        EXPECT_EQ(world.SentOf(k.insertEvent)[0].p2, kLimit - 1);
        world.Pump();
        EXPECT_EQ(world.PostedOf(ev::RepaintLabelled).size(), repaints + (k.repaints ? 1u : 0u));
        Apply(k.category, k.entryLabel, kLimit - 1, {.typed = "9"});
        EXPECT_EQ(Draw(k.category, k.entryLabel, kLimit - 1).text, "9");

        dialogs.Answer(plat::IDOK);
        const size_t boxes = dialogs.Boxes().size();
        EXPECT_EQ(Apply(k.category, k.entryLabel, kLimit, {.key = '4'}), erNothing);
        EXPECT_EQ(count(), kLimit);
        EXPECT_EQ(world.SentOf(k.insertEvent).size(), 1u);
        ASSERT_EQ(dialogs.Boxes().size(), boxes + 1);
        EXPECT_EQ(dialogs.Boxes().back().text, "The list is full.");

        // A list with room left is refused too when the clone memory is full.
        if (k.kind == 32) image.IdListCount(32, 3);
        else image.TalkGroupCount(33, 3);
        world.Main().Pack(world.Image());
        image.U32(EepromMap::End32, CloneBudget::Limit);
        dialogs.Answer(plat::IDOK);
        EXPECT_EQ(Apply(k.category, k.entryLabel, 3, {.key = '4'}), erNothing);
        EXPECT_EQ(count(), 3);
        EXPECT_EQ(dialogs.Boxes().size(), boxes + 2);
    }
}

}  // namespace
