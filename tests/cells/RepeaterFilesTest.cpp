// Repeater list files: export and import between groups and images, the
// older layout, refusals that leave the image alone, and the repeater
// window's backup of everything a load changes.
#include "cells/CellQueries.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/cmcIcfFile.h"
#include "model/EepromMap.h"
#include "model/ImageBytes.h"
#include "model/RepeaterFiles.h"
#include "model/TableAccess.h"
#include "model/iuiRptSetWin.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>

using namespace celltest;

namespace {

constexpr int kLtrBankTable = 204978;
constexpr int kFrom = 2;
constexpr int kTo = 6;

std::vector<std::string> FileTexts()
{
    std::vector<std::string> lines = {"#GI_AppMess_ChErr_Overflow", "No more fit.", "#GI_Mess_FileErr_Headline", "File error",
                                      "#GI_Mess_FileErr_Coverage", "Data missing.", "#GI_Mess_FileErr_Format", "Bad line.",
                                      "#GI_Mess_FileErr_Data", "Bad data.", "#GI_Mess_Confirm_Repeater", "Discard?",
                                      "#GI_NewChTitle", "New", "#GI_CollectRepeater_1st", "C1", "#GI_CollectRepeater_2nd", "C2"};
    // The home cells of the three lists.
    for (const char* key : {"GI_Sheet_Sel_Rpt_Atr", "GI_Sheet_Sel_Rpt_Atr_ZEPH", "GI_Sheet_Sel_Rpt_AtrC_Multisite"}) {
        const std::vector<std::string> list = ListSection(key, "Flex0", {{0, "-"}, {1, "1"}, {2, "2"}});
        lines.insert(lines.end(), list.begin(), list.end());
    }
    lines.push_back("#");
    return lines;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct RepeaterFiles : ::testing::Test {
    RepeaterFiles()
    {
        image.Type(kFrom, TestImage::Ltr).Type(kTo, TestImage::Ltr).GroupCount(22, kFrom, 3);
        const int first = GroupFirstItem(kFrom, 22);
        for (int i = 0; i < 3; ++i) {
            image.Item(22, first + i, [i](datCh& r) {
                r.RptRxFreq = 450000000 + 12500 * i;
                r.RptTxFreq = 455000000 + 12500 * i;
                r.RptRfPo = uint8_t(i);  // 0, 1 and 2
                r.RptFlags.RxDat = i == 1;
                r.RptFlags.Nar = i == 2;
                r.RptPhoneBankType.Phone = i == 0;
            });
        }
        image.Byte(kLtrBankTable + 8 * kFrom + 7, 2);           // home: the second
        image.Byte(kLtrBankTable + 8 * kFrom, 0x80);            // group flag
        world.Main().Pack(world.Image());  // the clone memory's free space
    }
    std::string Path(const std::string& name) { return dir.File(name); }

    CellWorld world{FileTexts()};
    TestImage image{world.Image()};
    qmtest::TempDir dir;
    plat::ScopedDialogScript dialogs;
};

TEST_F(RepeaterFiles, ExportThenImportIntoAnotherGroupAndImageKeepsEveryRecord)
{
    const std::string path = Path("three.rpt");
    ASSERT_EQ(SaveRepeaterFile(path, kFrom, 22), 0);
    const std::string text = ReadAll(path);
    EXPECT_NE(text.find("Repeater Data"), std::string::npos);

    const std::vector<uint8_t> exported = BuildRepeaterExport(kFrom, 22);
    ASSERT_EQ(exported.size(), 38u);
    EXPECT_EQ(exported[0], 8);
    EXPECT_EQ(exported[1], 3);
    EXPECT_EQ(exported[2], 1);
    EXPECT_EQ(exported[3], 2);
    // RF power 0 is written so that it reads back as 0.
    EXPECT_EQ((exported[8 + 8] >> 3) & 3, 1);

    // Another image: the records arrive in another group.
    const cmcEeprom original(world.Image());
    world.Image().Assign(world.Main().InitialImage());
    image.Type(kTo, TestImage::Ltr);
    world.Main().Pack(world.Image());
    SetRepeaterFileName(Path("earlier.rpt"));
    ASSERT_EQ(LoadRepeaterFile(path, kTo, 22), 0);
    ASSERT_EQ(GroupItemCount(kTo, 22), 3);
    const int from = GroupFirstItem(kFrom, 22);
    const int to = GroupFirstItem(kTo, 22);
    for (int i = 0; i < 3; ++i) {
        datCh a(const_cast<cmcEeprom*>(&original));
        a.Unpack(22, from + i);
        const datCh b = image.Read(22, to + i);
        EXPECT_EQ(b.RptRxFreq, a.RptRxFreq) << i;
        EXPECT_EQ(b.RptTxFreq, a.RptTxFreq) << i;
        EXPECT_EQ(b.RptRfPo, a.RptRfPo) << i;
        EXPECT_EQ(b.RptFlags.Value(), a.RptFlags.Value()) << i;
        EXPECT_EQ(b.RptPhoneBankType.Phone, a.RptPhoneBankType.Phone) << i;
    }
    EXPECT_EQ(image.ReadU8(kLtrBankTable + 8 * kTo + 7), 2);
    EXPECT_EQ(image.ReadU8(kLtrBankTable + 8 * kTo) & 0x80, 0x80);
    // A file of the current layout leaves the remembered name alone.
    EXPECT_EQ(RepeaterFileName(), Path("earlier.rpt"));
}

TEST_F(RepeaterFiles, ALoadMarksTheHomeOfTheGroupItFillsWhicheverSheetIsOpen)
{
    // Bank 9, after the bank loaded into, holds two repeaters, the second
    // its home; bank 0 none.
    constexpr int kAfter = 9;
    image.Type(kAfter, TestImage::Ltr).GroupCount(22, kAfter, 2);
    const int after = GroupFirstItem(kAfter, 22);
    for (int i = 0; i < 2; ++i) image.Item(22, after + i, [i](datCh& r) { r.RptRxFreq = 460000000 + 12500 * i; });
    image.Byte(kLtrBankTable + 8 * kAfter + 7, 2);
    world.Main().Pack(world.Image());
    ASSERT_EQ(SaveRepeaterFile(Path("three.rpt"), kFrom, 22), 0);
    const cmcEeprom start(world.Image());

    const std::optional<int> sheets[] = {std::nullopt, 0, kFrom, kTo, kAfter};
    for (const std::optional<int>& sheet : sheets) {
        const std::string what = sheet ? "sheet of bank " + std::to_string(*sheet) : "no sheet";
        world.Image().Assign(start);
        world.listGroup = sheet;
        ASSERT_EQ(LoadRepeaterFile(Path("three.rpt"), kTo, 22), 0) << what;
        for (int bank = 0; bank < 128; ++bank) {
            const int home = kLtrBankTable + 8 * bank + 7;
            EXPECT_EQ(image.ReadU8(home), bank == kTo ? 2 : start.GetByte(home)) << what << ", bank " << bank;
        }
        EXPECT_EQ(image.Read(22, GroupFirstItem(kAfter, 22) + 1).RptRxFreq, 460012500) << what;
    }
}

TEST_F(RepeaterFiles, OlderLayoutIsReadAndATruncatedFileIsRefused)
{
    // Revision 3: flag, home, count at 4, 20 records from 14, up to 214.
    cmcEeprom v3;
    v3.Resize(328550);
    v3.SetByte(0, 1);
    v3.SetByte(1, 1);
    v3.SetByte(4, 1);
    const uint8_t record[10] = {0x1A, 0xD2, 0x74, 0x80, 0x1B, 0x1F, 0xC0, 0xA0, 0x05, 0x01};
    for (int k = 0; k < 10; ++k) v3.SetByte(14 + k, record[k]);
    cmcIcfFile out;
    out.SetImage(&v3);
    out.SetModelCode(world.Main().ModelCode());
    out.SetSubCode(world.Main().SubCode());
    out.SetMapRev(3);
    // The older layout covers exactly 0 to 214: one byte less or more is
    // refused, and the image and the remembered name stay as they were.
    struct Cover {
        const char* what;
        int last;
        int result;
    } const covers[] = {{"without address 214", 213, kIcfCoverage}, {"with address 215", 215, kIcfData}};
    SetRepeaterFileName(Path("earlier.rpt"));
    for (const Cover& c : covers) {
        const dst_AdrRange range[] = {{0, c.last}, {1, 0}};
        ASSERT_EQ(out.Save(Path("odd.rpt"), range), kIcfOk) << c.what;
        const cmcEeprom before(world.Image());
        EXPECT_EQ(LoadRepeaterFile(Path("odd.rpt"), kTo, 22), c.result) << c.what;
        EXPECT_TRUE(world.Image().Equals(before)) << c.what;
        EXPECT_EQ(RepeaterFileName(), Path("earlier.rpt")) << c.what;
    }
    const dst_AdrRange all[] = {{0, 214}, {1, 0}};
    const std::string oldFile = Path("old.rpt");
    ASSERT_EQ(out.Save(oldFile, all), kIcfOk);
    ASSERT_EQ(LoadRepeaterFile(oldFile, kTo, 22), 0);
    // A file of the older layout becomes the name the next save proposes.
    EXPECT_EQ(RepeaterFileName(), oldFile);
    EXPECT_EQ(image.ReadU8(kLtrBankTable + 8 * kTo + 7), 1);
    const datCh r = image.Read(22, GroupFirstItem(kTo, 22));
    EXPECT_EQ(r.RptRxFreq, 0x1AD27480);
    EXPECT_EQ(r.RptRfPo, 3);  // code 0
    EXPECT_TRUE(r.RptFlags.RxDat);
    EXPECT_FALSE(r.RptPhoneBankType.Phone);

    // Revision 4 whose records stop short of its count.
    ASSERT_EQ(SaveRepeaterFile(Path("full.rpt"), kFrom, 22), 0);
    std::string text = ReadAll(Path("full.rpt"));
    std::istringstream lines(text);
    std::string line, cut;
    int kept = 0;
    while (std::getline(lines, line) && kept < 4) {  // header lines and the first data line
        cut += line + "\n";
        ++kept;
    }
    std::ofstream(Path("short.rpt")) << cut;
    const cmcEeprom before(world.Image());
    EXPECT_EQ(LoadRepeaterFile(Path("short.rpt"), kTo, 22), kIcfCoverage);
    EXPECT_TRUE(world.Image().Equals(before));
}

TEST_F(RepeaterFiles, TooManyForTheListIsRefusedAndNothingChanges)
{
    ASSERT_EQ(SaveRepeaterFile(Path("three.rpt"), kFrom, 22), 0);
    world.Main().Pack(world.Image());
    const cmcEeprom packed(world.Image());
    // The free bytes of the clone memory; a repeater takes 10.
    struct Case {
        const char* what;
        int freeBytes;
        bool taken;
    } const cases[] = {
        {"no room", 5, false},
        {"room for exactly the file's three", 30, true},
        {"room for two", 29, false},
    };
    for (const Case& c : cases) {
        world.Image().Assign(packed);
        image.U32(EepromMap::End32, CloneBudget::Limit - uint32_t(c.freeBytes));
        const cmcEeprom before(world.Image());
        const size_t boxes = dialogs.Boxes().size();
        if (!c.taken) dialogs.Answer(plat::IDOK);
        EXPECT_EQ(LoadRepeaterFile(Path("three.rpt"), kTo, 22), c.taken ? 0 : -1) << c.what;
        EXPECT_EQ(GroupItemCount(kTo, 22), c.taken ? 3 : 0) << c.what;
        if (c.taken) {
            EXPECT_EQ(dialogs.Boxes().size(), boxes) << c.what;
            continue;
        }
        EXPECT_TRUE(world.Image().Equals(before)) << c.what;
        ASSERT_EQ(dialogs.Boxes().size(), boxes + 1) << c.what;
        EXPECT_EQ(dialogs.Boxes().back().text, "No more fit.") << c.what;
    }
}

TEST_F(RepeaterFiles, EachListKeepsItsRecordsAndMarksThroughAFile)
{
    // Group kFrom of the list saved, then loaded into group kTo of a fresh
    // image; the marks are the bank's homes (kinds 22 and 27) or the site's
    // collecting repeaters (kind 31).
    struct Case {
        const char* what;
        int kind;
        int count;
        int mark1, mark2;
        bool error;  // the loaded group's home cells are marked
    };
    const Case cases[] = {
        {"LTR full group, home in the last place", 22, 20, 20, 0, false},
        {"LTR home past the group's repeaters", 22, 3, 5, 0, true},
        {"ZEPH, both homes", 27, 4, 3, 1, false},
        {"site, both collecting repeaters", 31, 3, 2, 1, false},
        {"site, collecting repeater past the site's repeaters", 31, 3, 4, 0, true},
    };
    struct List {
        int category, attribute;
        int marks, stride;  // where group g keeps its marks
    };
    const auto listOf = [](int kind) {
        return kind == 22   ? List{CT_Rpt, CL_Rpt_Atr, kLtrBankTable + 7, 8}
               : kind == 27 ? List{CT_ZEPH_Rpt, CL_Rpt_ZEPH_Atr, 245636 + 6, 10}
                            : List{CT_Multisite_Rpt, CL_Multisite_Atr_Collect, 162646 + 4, 8};
    };
    for (const Case& c : cases) {
        const List list = listOf(c.kind);
        const auto fresh = [&] {
            world.Image().Assign(world.Main().InitialImage());
            if (c.kind == 31) {
                image.SiteCount(kTo + 1).Item(30, kTo, [](datCh& site) { site.SiteId = 9; });
            } else {
                const auto type = c.kind == 22 ? TestImage::Ltr : TestImage::Zeph;
                image.Type(kFrom, type).Type(kTo, type);
            }
        };
        fresh();
        image.GroupCount(c.kind, kFrom, c.count);
        const int from = GroupFirstItem(kFrom, c.kind);
        for (int i = 0; i < c.count; ++i)
            image.Item(c.kind, from + i, [i](datCh& r) {
                r.RptRxFreq = 450000000 + 12500 * i;
                r.RptTxFreq = 455000000 + 12500 * i;
            });
        image.Byte(list.marks + list.stride * kFrom, c.mark1).Byte(list.marks + list.stride * kFrom + 1, c.mark2);
        world.Main().Pack(world.Image());
        ASSERT_EQ(SaveRepeaterFile(Path("list.rpt"), kFrom, c.kind), 0) << c.what;

        fresh();
        world.Main().Pack(world.Image());
        world.listGroup = kTo;
        ASSERT_EQ(LoadRepeaterFile(Path("list.rpt"), kTo, c.kind), 0) << c.what;
        ASSERT_EQ(GroupItemCount(kTo, c.kind), c.count) << c.what;
        const int to = GroupFirstItem(kTo, c.kind);
        for (int i = 0; i < c.count; ++i) {
            const datCh r = image.Read(c.kind, to + i);
            EXPECT_EQ(r.RptRxFreq, 450000000 + 12500 * i) << c.what << ", " << i;
            EXPECT_EQ(r.RptTxFreq, 455000000 + 12500 * i) << c.what << ", " << i;
        }
        EXPECT_EQ(image.ReadU8(list.marks + list.stride * kTo), c.mark1) << c.what;
        EXPECT_EQ(image.ReadU8(list.marks + list.stride * kTo + 1), c.mark2) << c.what;
        EXPECT_EQ(indActiveCell::CellError(list.category, list.attribute, to), c.error) << c.what;
        // So is the bank's (or the site's) home repeater cell, which the
        // check before a write reads.
        if (c.kind == 31)
            EXPECT_EQ(indActiveCell::CellError(CT_Multisite_SL, CL_Multisite_Rpt, kTo), c.error) << c.what;
        else
            EXPECT_EQ(indActiveCell::CellError(CT_BankOp, CL_Mch_Rpt, kTo), c.error) << c.what;
    }
}

TEST_F(RepeaterFiles, WindowBackupRestoresEveryByteALoadChanged)
{
    ASSERT_EQ(SaveRepeaterFile(Path("three.rpt"), kFrom, 22), 0);
    const cmcEeprom before(world.Image());
    const RepeaterListBackup backup(world.Image(), 22);
    ASSERT_EQ(LoadRepeaterFile(Path("three.rpt"), kTo, 22), 0);
    EXPECT_FALSE(backup.Matches(world.Image()));
    backup.Restore(world.Image());
    world.Main().Pack(world.Image());
    EXPECT_TRUE(world.Image().Equals(before));

    // The group flag alone is a change, and so is the bank name that the
    // LTR list edits.
    ImageBytes(&world.Image()).SetBit(kLtrBankTable + 8 * 40, 7, true);
    EXPECT_FALSE(backup.Matches(world.Image()));
    backup.Restore(world.Image());
    EXPECT_TRUE(world.Image().Equals(before));
    // Every bank's name is kept whole: its first and last characters, the
    // last bank's included.
    constexpr int kBankNames = 177448;  // 12 characters a bank
    for (int at : {12 * kTo, 12 * kTo + 11, 12 * 127, 12 * 127 + 11}) {
        ImageBytes(&world.Image()).SetU8(kBankNames + at, 'X');
        EXPECT_FALSE(backup.Matches(world.Image())) << at;
        backup.Restore(world.Image());
        EXPECT_TRUE(world.Image().Equals(before)) << at;
    }
}

}  // namespace
