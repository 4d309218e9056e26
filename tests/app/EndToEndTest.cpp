// A technician's whole round in the running program, on a radio of either
// model type: a full radio is read through the Clone menu, one value is
// changed with the keyboard on every page of the tree, the document is saved,
// File > New forgets it, the file is opened again and shows every change,
// and Clone > Write puts it into the radio, whose memory then holds the
// program's packed image in every byte the write sends (the radio held other
// bytes there before). The only message boxes are those the round asks for:
// the notice of a key that every key bank shares (its cell refuses the
// change; the walk goes on to the next cell), the write's confirmation and
// its report of success.
#include "tests/app/AppFixture.h"
#include "tests/app/FullImage.h"

#include "core/CellNames.h"
#include "core/cmcGTex.h"
#include "model/EepromMap.h"
#include "model/Normalise.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/indCloneMan.h"
#include "model/indMain.h"
#include "platform/base/MemorySerial.h"
#include "platform/ui/Keys.h"
#include "platform/ui/MessageBox.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "tests/sim/CloneRadio.h"

#include <filesystem>
#include <map>
#include <optional>
#include <set>

namespace {

constexpr int kPort = 3;

// Pages where no cell changes with the Space key, with the reason.
const std::map<std::string, const char*> kUnchangeable = {
    {"[St_Common]GI_Sheet_Top", "a page of guidance text only"},
    {"GI_Sheet_Memory_CH_Top", "a page of guidance text only"},
    {"GI_Sheet_Trunking_Top", "a page of guidance text only"},
    {"GI_Sheet_Multisite_Top", "a page of guidance text only"},
    {"GI_Sheet_Digital_Top", "a page of guidance text only"},
    {"GI_Sheet_Signalling_Top", "a page of guidance text only"},
    {"GI_Sheet_Common_CEdit", "the characters' dots are drawn in the character editor"},
    {"GI_Sheet_Common_CEdit_Mob", "the characters' dots are drawn in the character editor"},
};

// The 16-bit addresses of the MDC blocks and aliases in the working tables,
// which the packer fills for the 16-bit layout: the last two bytes of each
// block record of either bank (ten bytes each, at offset 8 and 7) and the
// first and last alias address (the first four of each six-byte record).
bool IsMdcAddress16(int at)
{
    constexpr int kBlocksA = 235624, kBlocksB = 235674, kAliases = 235724, kRecords = 5;
    for (int k = 0; k < kRecords; ++k) {
        const int a = kBlocksA + 10 * k + 8, b = kBlocksB + 10 * k + 7, c = kAliases + 6 * k;
        if ((at >= a && at < a + 2) || (at >= b && at < b + 2) || (at >= c && at < c + 4)) return true;
    }
    return false;
}

class EndToEnd : public apptest::ProgramFixture, public ::testing::WithParamInterface<int> {
protected:
    EndToEnd() { radio.pacing = false; }

    void UntilDone()
    {
        ASSERT_TRUE(time.host.AdvanceUntil([&] { return !Main().CloneMan().IsBusy(); }, 600000, 10));
        Wait(100);
    }

    struct Change {
        std::string spec;
        int label, index;
        std::string before, after;
    };
    // Presses Space on the page's selectable cells in turn until one shows
    // another text; Escape leaves a cell that opened an editor instead.
    std::optional<Change> ChangeOneValue(const std::string& spec)
    {
        const int tries = 60;
        int tried = 0;
        for (int row = Grid().FixedRows(); row < Grid().RowCount(); ++row)
            for (int col = Grid().FixedCols(); col < Grid().ColCount(); ++col) {
                const cmcCellObj& cell = Sheet().CellAt(col, row);
                if (cell.Label >= CL_NoLabel || Grid().ColWidths(col) <= 0) continue;
                ClickCell(col, row);
                Wait();
                if (Grid().Col() != col || Grid().Row() != row) continue;  // not selectable
                if (++tried > tries) return std::nullopt;
                const std::string before = CellText(col, row);
                // A cell the radio fixes answers with a notice instead.
                if (dialogs.UnusedAnswers() == 0) dialogs.Answer(plat::IDOK);
                const size_t boxes = dialogs.Boxes().size();
                plat::SendKey(Form(), plat::VK_SPACE);
                Wait();
                if (dialogs.Boxes().size() != boxes) {
                    notices.insert(dialogs.Boxes().back().text);
                    continue;
                }
                const std::string after = CellText(col, row);
                if (after != before) return Change{spec, cell.Label, cell.Index, before, after};
                plat::SendKey(Form(), plat::VK_ESCAPE);
                Wait();
            }
        return std::nullopt;
    }

    std::set<std::string> notices;  // the texts of the notices seen
    plat::ScopedMemorySerial serial;
    plat::MemoryLine& line = serial.ports.Line(kPort);
    qmsim::MemoryRadioLink link{line};
    qmsim::CloneRadio radio{link};
};

TEST_P(EndToEnd, AFullRadioReadEditedOnEveryPageSavedReopenedAndWrittenBack)
{
    const int modelType = GetParam();
    // The radio holds a full image, packed as the program packs it.
    StartModel(modelType, true, false);
    {
        cmcEeprom packed(Main().CurrentImage());
        ASSERT_EQ(Main().Pack(packed), kPackOk);
        radio.memory.assign(packed.Data(), packed.Data() + EepromMap::CloneSize);
    }
    radio.SetExtendedAddressing(true);
    radio.SetEndAddress(EepromMap::CloneLast);
    radio.Start();

    StartModel(modelType, false, false);
    Environ().ComPort = kPort;
    Choose(MenuItem(CL_Menu_Clone_Read));
    UntilDone();
    ASSERT_TRUE(dialogs.Boxes().empty()) << dialogs.Boxes().front().text;
    ASSERT_EQ(radio.Stats().readsDone, 1);
    ASSERT_EQ(UsedChannelCount(), WorkTables::Channels);

    // One value changed on every page, with the keyboard.
    std::vector<Change> changes;
    for (const std::string& spec : TreePages(int(apptest::BankTypes(modelType).size()))) {
        SCOPED_TRACE(spec);
        OpenPage(spec);
        ASSERT_NE(Main().CurrentSheet(), nullptr);
        const std::optional<Change> change = ChangeOneValue(spec);
        const bool listed = kUnchangeable.count(spec) != 0;
        EXPECT_EQ(change.has_value(), !listed);
        if (change) changes.push_back(*change);
    }
    EXPECT_EQ(notices, std::set<std::string>{g_GTex.GetFirstLine("GI_AppMess_KeyErr_Fixed")});
    const size_t noticeBoxes = dialogs.Boxes().size();
    Main().ScheduleCheck();
    Wait(cuiMain::CheckDelayMs + 2 * cuiMain::TickMs);
    EXPECT_EQ(Main().CheckErrors(), std::vector<std::string>{});

    // Saved, forgotten, opened again: every change is there.
    const std::string file = user.Documents() + "full.icf";
    dialogs.AnswerFile(file);
    Choose(MenuItem(CL_Menu_File_SaveAs));
    ASSERT_TRUE(std::filesystem::exists(file));
    Choose(MenuItem(CL_Menu_File_New));
    EXPECT_EQ(UsedChannelCount(), 0);
    dialogs.AnswerFile(file);
    Choose(MenuItem(CL_Menu_File_Open));
    ASSERT_EQ(UsedChannelCount(), WorkTables::Channels);
    for (const Change& change : changes) {
        SCOPED_TRACE(change.spec);
        OpenPage(change.spec);
        EXPECT_EQ(LabelText(change.label, change.index), change.after) << "was " << change.before;
    }
    ASSERT_EQ(dialogs.Boxes().size(), noticeBoxes) << dialogs.LastBox().text;
    // Viewing every page of the opened file changed nothing.
    EXPECT_FALSE(Main().IsModified());

    // The radio's memory is the program's image as packed for a radio, all
    // of its 0x1FF80 bytes: the write sends from address 0x100 to the end of
    // the packed data, and the bytes outside that (the header below 0x100,
    // the unused end) are still those the radio held, which the read took
    // in and the program keeps. A radio with 32-bit addresses that takes
    // either layout is given the 16-bit one when the image fits it, else the
    // 32-bit one; the 16-bit trial leaves in the image the 16-bit addresses
    // of the MDC blocks and aliases that it got as far as. Before the write,
    // every byte the write is to send differs in the radio, so that a frame
    // never sent, or sent with other bytes, shows.
    cmcEeprom expected(Main().CurrentImage());
    Main().PrepareImageForOutput(expected, kBeforeOutput, 1);
    if (Main().PackWithLayoutFlag(expected, true, true, true) != kPackOk) {
        ASSERT_EQ(Main().PackWithLayoutFlag(expected, true, true, false), kPackOk);
    }
    const int writeFirst = 0x100, writeLast = indMain::CloneWriteEndAddress(expected);
    ASSERT_LT(writeLast, EepromMap::CloneSize);
    for (int a = writeFirst; a <= writeLast; ++a) radio.memory[size_t(a)] = uint8_t(~expected.GetByte(a));

    // Written back: the write asks to be sure, then reports success.
    radio.ResetStats();
    // The write confirmation and the report of success (an answer left
    // over from the walk counts).
    while (dialogs.UnusedAnswers() < 2) dialogs.Answer(plat::IDOK);
    Choose(MenuItem(CL_Menu_Clone_Write));
    UntilDone();
    ASSERT_EQ(dialogs.Boxes().size(), noticeBoxes + 2) << dialogs.LastBox().text;
    EXPECT_EQ(dialogs.LastBox().Icon(), plat::MB_ICONINFORMATION) << dialogs.LastBox().text;
    ASSERT_EQ(radio.Stats().writesDone, 1);
    EXPECT_TRUE(radio.Stats().lastWriteOk);
    int differ = 0, first = -1;
    for (int a = 0; a < EepromMap::CloneSize; ++a)
        if (radio.memory[size_t(a)] != expected.GetByte(a) && differ++ == 0) first = a;
    EXPECT_EQ(differ, 0) << "first at " << first;

    // Read back into a new document, the radio gives the working tables the
    // saved file gave, but for the 16-bit MDC addresses that only the write
    // filled in; the written document is unchanged, so File > New asks
    // nothing.
    const cmcEeprom opened(Main().CurrentImage());
    EXPECT_FALSE(Main().IsModified());
    Choose(MenuItem(CL_Menu_File_New));
    Choose(MenuItem(CL_Menu_Clone_Read));
    UntilDone();
    ASSERT_EQ(dialogs.Boxes().size(), noticeBoxes + 2) << dialogs.LastBox().text;
    differ = 0;
    for (int a = EepromMap::WorkStart; a < EepromMap::WorkEnd; ++a)
        if (!IsMdcAddress16(a) && Main().CurrentImage().GetByte(a) != opened.GetByte(a) && differ++ == 0) first = a;
    EXPECT_EQ(differ, 0) << "first at " << first;
}

INSTANTIATE_TEST_SUITE_P(ModelTypes, EndToEnd, ::testing::Values(indMain::ModelTypeLmr, indMain::ModelTypePmr),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == indMain::ModelTypePmr ? "Pmr" : "Lmr";
                         });

}  // namespace
