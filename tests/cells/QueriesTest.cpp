// Cell queries, record kinds and the clone-memory budget; the main object's
// document state and deferred check.
#include "cells/CellQueries.h"
#include "cells/LabelDispatch.h"
#include "cells/indActiveCell.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "model/EepromMap.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

using namespace celltest;

namespace {

TEST(CellQueries, RecordKindsByCategory)
{
    CellWorld world;
    const std::pair<int, int> kinds[] = {
        {CT_Null, 0},       {CT_PopupMenu, 0},  {CT_Mch, 1},          {CT_Mch_Check, 1}, {CT_CEdit, 3},
        {CT_CEdit_Mob, 4},  {CT_DTMF, 5},       {CT_2Tone_Code, 11},  {CT_UserTone, 10}, {CT_BankOp, 13},
        {CT_MSK_Cfg, 0},    {CT_DIG_Inv, 18},   {CT_DIG_Op, 0},       {CT_DTMF_Rx, 23},  {CT_ZEPH_Rpt, 27},
        {CT_Multisite_Tg, 33}, {CT_CHGRP, 34},  {CT_NoCategory, 0},
    };
    for (auto [category, kind] : kinds) EXPECT_EQ(RecordKindOfCategory(category), kind) << category;
    world.Environ().ModelType = 1;
    EXPECT_EQ(RecordKindOfCategory(CT_Mch), 2);
    EXPECT_EQ(RecordKindOfCategory(CT_Mch_Check), 2);
    EXPECT_EQ(qmtest::FatalMessage([] { RecordKindOfCategory(42); }), "Unknown Cell Category. (42)");
    EXPECT_EQ(qmtest::FatalMessage([] { RecordKindOfCategory(-1); }), "Unknown Cell Category. (-1)");
}

TEST(CellQueries, CellsRunOnceFromOutsideASheet)
{
    CellWorld world;
    int runs = 0;
    ScopedLabelBehaviour behaviour(CL_Comm_Tactical, [&](indCellCall& call) {
        ++runs;
        call.Cap->Text = call.Cap->Grid ? "on a grid" : "key " + std::to_string(call.Cap->Key);
        if (call.Cap->Key == 13) call.Result = erPopupOpened;
    });
    auto cell = MakeCell(CT_Null, CL_Comm_Tactical);
    EXPECT_EQ(GetCellText(cell.get(), 0), "key 0");
    EXPECT_FALSE(world.Main().CheckScheduled());
    EXPECT_EQ(ExecCellKey(cell.get(), 13), erPopupOpened);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(GetCellText(nullptr, 0), "");
    EXPECT_EQ(ExecCellKey(nullptr, 13), erNothing);
}

TEST(CellQueries, MarksOfAnotherCellAreJudgedForTheBankOfItsChannel)
{
    CellWorld world;
    TestImage(world.Image()).BankCounts({2, 3});
    ScopedLabelBehaviour behaviour(CL_Comm_Tactical, [](indCellCall& call) {
        call.Cap->ErrorMark = call.Cap->Bank == 1;
        call.Cap->WarningMark = call.Index == 4;
    });
    bool error = false, warning = false;
    indActiveCell::EvaluateCellMarks(CT_Null, CL_Comm_Tactical, 4, error, warning);
    EXPECT_TRUE(error);  // channel index 4 lies in bank 1
    EXPECT_TRUE(warning);
    EXPECT_FALSE(indActiveCell::CellError(CT_Null, CL_Comm_Tactical, 0));
    EXPECT_FALSE(indActiveCell::CellWarning(CT_Null, CL_Comm_Tactical, 3));
}

TEST(CellQueries, BankAndGroupRanges)
{
    CellWorld world;
    TestImage(world.Image()).BankCounts({2, 0, 4}).GroupCount(27, 0, 3).GroupCount(27, 1, 2);
    EXPECT_EQ(GetBankRange(2), (ListRange{2, 2, 5, 4}));
    EXPECT_EQ(GetBankRange(128), ListRange{});
    EXPECT_EQ(GetBankRange(-1), ListRange{});
    EXPECT_EQ(GetGroupRange(1, 27), (ListRange{1, 3, 4, 2}));
    EXPECT_EQ(GetCurrentBankRange(), ListRange{});
    world.currentBank = 2;
    world.listGroup = 1;
    EXPECT_EQ(GetCurrentBankRange(), (ListRange{2, 2, 5, 4}));
    EXPECT_EQ(GetCurrentGroupRange(27), (ListRange{1, 3, 4, 2}));
    EXPECT_TRUE(IsBankIndex(0) && IsBankIndex(127) && !IsBankIndex(128) && !IsBankIndex(-1));

    cmcEeprom other(world.Image());
    TestImage(other).BankCount(1, 9);
    EXPECT_EQ(ReadBankCount(other, 1), 9);
    EXPECT_EQ(ReadBankCount(other, 128), 0);
    EXPECT_EQ(ReadBankCount(other, -1), 0);
    EXPECT_TRUE(SecondBankUsed(other));
    EXPECT_FALSE(SecondBankUsed(world.Image()));
}

TEST(CellQueries, CloneMemoryBudget)
{
    CellWorld world;
    TestImage image(world.Image());
    // Nothing packed yet: the first part has no free space.
    EXPECT_FALSE(ChannelMemoryFits(world.Image(), CT_Mch, 0, 0, false));
    EXPECT_TRUE(ChannelMemoryFits(world.Image(), CT_Null, 1000, 0, false));

    struct Case {
        const char* what;
        uint32_t endFirst32;
        int endFirst16;
        uint32_t end32;
        int end16;
        int category;
        int n;
        int bank;
        bool strict;
        bool fits;
    };
    const Case cases[] = {
        // The limit is the clone memory's last address, 0xFF7F when strict.
        {"channels, room in both parts", 0, 0x8000, 0, 0xC000, CT_Mch, 10, 0, false, true},
        {"channels, the first part full", 0x1FF7F - 300, 0, 0x10000, 0, CT_Mch, 10, 0, false, false},
        {"channels, one byte more in the first part", 0x1FF7F - 301, 0, 0x10000, 0, CT_Mch, 10, 0, false, true},
        {"channels of bank 127 take only the first part", 0, 0x8000, 0x1FF7F - 710, 0, CT_Mch, 10, 127, false, true},
        {"bank 127, a byte short", 0, 0x8000, 0x1FF7F - 709, 0, CT_Mch, 10, 127, false, false},
        {"other banks need 71 bytes a channel", 0, 0x8000, 0x1FF7F - 709, 0, CT_Mch, 10, 0, false, false},
        {"repeaters", 0, 0x8000, 0x1FF7F - 100, 0, CT_Rpt, 10, 0, false, true},
        {"repeaters, one too many", 0, 0x8000, 0x1FF7F - 100, 0, CT_Rpt, 11, 0, false, false},
        {"talk groups, strict limit", 0, 0x8000, 0, 0xFF7F - 28, CT_DIG_Tg, 2, 0, true, true},
        {"talk groups, strict, over", 0, 0x8000, 0, 0xFF7F - 27, CT_DIG_Tg, 2, 0, true, false},
        {"the 32-bit forms win", 0xC000, 0x8000, 0x18000, 0xC000, CT_Mch, 10, 0, false, true},
        {"the 32-bit forms win, strict", 0xC000, 0x8000, 0x18000, 0xC000, CT_Mch, 10, 0, true, false},
        {"an unlisted category past the limit", 0, 0x8000, 0x20000, 0, CT_Scan, 0, 0, false, false},
    };
    for (const Case& k : cases) {
        image.U32(EepromMap::End32PartA, k.endFirst32).U16(EepromMap::End16PartA, k.endFirst16);
        image.U32(EepromMap::End32, k.end32).U16(EepromMap::End16, k.end16);
        EXPECT_EQ(ChannelMemoryFits(world.Image(), k.category, k.n, k.bank, k.strict), k.fits) << k.what;
    }

    // 30 + 41 bytes a channel: 5 fit, not 6.
    image.U32(EepromMap::End32PartA, 0).U16(EepromMap::End16PartA, 0x8000);
    image.U32(EepromMap::End32, 0x1FF7F - 5 * 71).U16(EepromMap::End16, 0);
    EXPECT_EQ(MaxItemsThatFit(CT_Mch, 9, 0), 5);
    EXPECT_EQ(MaxItemsThatFit(CT_Mch, 3, 0), 3);
    EXPECT_EQ(MaxItemsThatFit(CT_Mch, -1, 0), -1);
    image.U32(EepromMap::End32, 0x20000);  // already past the limit
    EXPECT_EQ(MaxItemsThatFit(CT_Mch, 5, 0), -1);
}

TEST(CellQueries, BudgetOfAPackedCopyForTheRadio)
{
    CellWorld world;
    TestImage image(world.Image());
    image.BankCounts({40});
    for (int n = 0; n < 40; ++n) image.Channel(n, 146000000 + 12500 * n);
    const cmcEeprom before(world.Image());
    // The copy is packed in the 16-bit layout and judged against its limit:
    // the same answer as the packer's own channel budget, and the working
    // image stays as it was.
    const int m = MaxItemsThatFitPacked(CT_Mch, 2000, 0);
    EXPECT_GT(m, 0);
    EXPECT_LT(m, 2000);
    EXPECT_EQ(m, MaxChannelsThatFitPacked(world.Image(), 2000));
    EXPECT_TRUE(world.Image().Equals(before));
    EXPECT_EQ(MaxItemsThatFitPacked(CT_Mch, 3, 0), 3);
}

TEST(MainObject, ModifiedStateFollowsTheSavedCopyUntilSaved)
{
    CellWorld world;
    indMain& main = world.Main();
    EXPECT_FALSE(main.IsModified());
    EXPECT_EQ(main.Title(), "Untitled - Radio Programmer");
    EXPECT_FALSE(main.UpdateModified());
    main.CurrentImage().SetByte(200000, 1);
    EXPECT_TRUE(main.UpdateModified());
    EXPECT_EQ(main.Title(), "Untitled - Radio Programmer");
    // Putting the value back does not make the document unmodified.
    main.CurrentImage().SetByte(200000, 0);
    EXPECT_TRUE(main.UpdateModified());
    main.SetFolder("/home/tech/radios");
    main.SetFileName("");
    EXPECT_EQ(main.FilePath(), "/home/tech/radios/Untitled");
    main.SetFileName("/home/tech/radios/fleet.icf");
    main.MarkSaved();
    EXPECT_FALSE(main.IsModified());
    EXPECT_EQ(main.Title(), "fleet.icf - Radio Programmer");
    EXPECT_EQ(main.ModelCode(), 0x7143);
    EXPECT_EQ(main.SecondModelCode(), 0x7148);
}

TEST(MainObject, CheckRunsAfterTheLastScheduling)
{
    CellWorld world;
    indMain& main = world.Main();
    EXPECT_FALSE(main.TakeExpiredCheck());
    main.ScheduleCheck();
    for (int i = 0; i < 5; ++i) {
        world.time.Advance(100);
        EXPECT_FALSE(main.TakeExpiredCheck());
        main.ScheduleCheck();
    }
    world.time.Advance(249);
    EXPECT_FALSE(main.TakeExpiredCheck());
    world.time.Advance(1);
    EXPECT_TRUE(main.TakeExpiredCheck());
    EXPECT_FALSE(main.CheckScheduled());
}

TEST(MainObject, KeepsTheIdentityPayload)
{
    CellWorld world;
    const uint8_t shortPayload[3] = {3, 0xAB, 0xCD};
    world.Main().SetIdentity(0x7148, 0x0102, shortPayload, 3);
    EXPECT_TRUE(world.Main().IsIdentified());
    EXPECT_EQ(world.Main().IdentityPayload()[1], 0xAB);
    EXPECT_EQ(world.Main().IdentityPayload()[3], 0);
    EXPECT_EQ(world.Main().IdentityBytes(), (std::array<uint8_t, 4>{0x71, 0x48, 0x01, 0x02}));
}

}  // namespace
