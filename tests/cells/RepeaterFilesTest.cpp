// Repeater list files: export and import between groups and images, the
// older layout, refusals that leave the image alone, and the repeater
// window's backup of everything a load changes.
#include "cells/CellQueries.h"
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
#include <sstream>

using namespace celltest;

namespace {

constexpr int kLtrBankTable = 204978;
constexpr int kFrom = 2;
constexpr int kTo = 6;

std::vector<std::string> FileTexts()
{
    return {"#GI_AppMess_ChErr_Overflow", "No more fit.", "#GI_Mess_FileErr_Headline", "File error", "#GI_Mess_FileErr_Coverage", "Data missing.",
            "#GI_Mess_FileErr_Format", "Bad line.", "#GI_Mess_FileErr_Data", "Bad data.",
            "#GI_Mess_Confirm_Repeater", "Discard?", "#"};
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
        EXPECT_EQ(bool(b.Attr.HomeRpt), i == 1) << i;
    }
    EXPECT_EQ(image.ReadU8(kLtrBankTable + 8 * kTo) & 0x80, 0x80);
    EXPECT_EQ(RepeaterFileName(), path);
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
    const dst_AdrRange all[] = {{0, 214}, {1, 0}};
    const std::string oldFile = Path("old.rpt");
    ASSERT_EQ(out.Save(oldFile, all), kIcfOk);
    ASSERT_EQ(LoadRepeaterFile(oldFile, kTo, 22), 0);
    const datCh r = image.Read(22, GroupFirstItem(kTo, 22));
    EXPECT_EQ(r.RptRxFreq, 0x1AD27480);
    EXPECT_EQ(r.RptRfPo, 3);  // code 0
    EXPECT_TRUE(r.RptFlags.RxDat);
    EXPECT_FALSE(r.RptPhoneBankType.Phone);
    EXPECT_TRUE(r.Attr.HomeRpt);

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
    // The clone memory has room for no more repeaters.
    world.Main().Pack(world.Image());
    image.U32(EepromMap::End32, CloneBudget::Limit - 5);
    const cmcEeprom before(world.Image());
    dialogs.Answer(plat::IDOK);
    EXPECT_EQ(LoadRepeaterFile(Path("three.rpt"), kTo, 22), -1);
    EXPECT_TRUE(world.Image().Equals(before));
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "No more fit.");
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

    // The group flag alone is a change.
    ImageBytes(&world.Image()).SetBit(kLtrBankTable + 8 * 40, 7, true);
    EXPECT_FALSE(backup.Matches(world.Image()));
    backup.Restore(world.Image());
    EXPECT_TRUE(world.Image().Equals(before));
}

}  // namespace
