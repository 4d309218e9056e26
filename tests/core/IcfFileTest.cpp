#include "core/cmcEeprom.h"
#include "core/cmcGTex.h"
#include "core/cmcIcfFile.h"
#include "platform/base/UserMessage.h"
#include "tests/support/TestSupport.h"

#include <csignal>
#include <filesystem>
#include <random>
#include <sys/resource.h>

namespace {

// The overlay texts of the file messages, and a record of the boxes shown.
class IcfFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_GTex.FreeState();
        g_GTex.InitState();
        g_GTex.OpenOverlayLines({"#GI_Sys_AppTitle", "Radio Programmer", "#GI_Mess_FileErr_Headline", "File error",
                                 "#GI_Mess_FileErr_FileOpen", "cannot open", "#GI_Mess_FileErr_FileAccess", "cannot write",
                                 "#GI_Mess_FileErr_Model", "model", "#GI_Mess_FileErr_Extra", "extra",
                                 "#GI_Mess_FileErr_MapRev", "maprev", "#GI_Mess_FileErr_Format", "format",
                                 "#GI_Mess_FileErr_Coverage", "coverage", "#GI_Mess_FileErr_Data", "data",
                                 "#GI_Mess_FileErr_Newer", "newer", "#End_Of_Ovl"});
        m_previous = plat::SetUserMessageFunction([this](const std::string& text, const std::string& caption, unsigned flags) {
            boxes.push_back(caption + "|" + text + "|" + std::to_string(flags));
            return plat::IDOK;
        });
        image.Resize(64);
        for (int a = 0; a < 64; ++a) image.SetByte(a, a + 0x40);
        file.SetImage(&image);
        file.SetModelCode(0x7143);
        file.SetMapRevCheck({[this](void*, int mapRev) {
                                 mapRevsChecked.push_back(mapRev);
                                 return mapRev < 2;
                             },
                             nullptr});
    }
    void TearDown() override
    {
        plat::SetUserMessageFunction(std::move(m_previous));
        g_GTex.FreeState();
        g_GTex.InitState();
    }

    // Loads the text as a file into the image (first filled with 0xEE).
    int LoadText(const std::string& text, const dst_AdrRange* ranges)
    {
        qmtest::WriteFile(dir.File("in.icf"), text);
        image.Fill(0xEE);
        return file.Load(dir.File("in.icf"), ranges);
    }

    qmtest::TempDir dir;
    cmcEeprom image;
    cmcIcfFile file;
    std::vector<int> mapRevsChecked;
    std::vector<std::string> boxes;

private:
    plat::UserMessageFunction m_previous;
};

constexpr dst_AdrRange kAll[] = {{0, 63}, {1, 0}};
const std::string kHead = "71430000\n#Comment=\n#MapRev=1\n#AdrBit=16\n";

} // namespace

TEST_F(IcfFixture, RecordsStopAtSixteenByteBlocksAndTheRangeEnd)
{
    file.SetMapRev(1);
    const dst_AdrRange ranges[] = {{0x05, 0x24}, {0x30, 0x30}, {1, 0}};
    ASSERT_EQ(file.Save(dir.File("out.icf"), ranges), kIcfOk);
    EXPECT_EQ(qmtest::ReadFile(dir.File("out.icf")),
              kHead + "00050B45464748494A4B4C4D4E4F\n" + "001010505152535455565758595A5B5C5D5E5F\n" +
                  "0020056061626364\n" + "00300170\n");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(IcfFixture, RoundTripIsByteForByteInEveryAddressWidth)
{
    cmcEeprom big;
    big.Resize(0x1FF80);
    std::mt19937 random(7);
    for (int a = 0; a < big.Size(); ++a) big.SetByte(a, int(random() & 0xFF));
    for (int bits : {32, 24, 16}) {
        // Sixteen address bits reach the first 64 KiB only.
        const dst_AdrRange ranges[] = {{0, bits == 16 ? 0xFFFF : 0x1FF7F}, {1, 0}};
        cmcIcfFile out;
        out.SetImage(&big);
        out.SetModelCode(0x7148);
        out.SetSubCode(0x100);
        out.SetMapRev(1);
        out.SetAdrBit(bits);
        out.SetComment("bench \"copy\"");
        ASSERT_EQ(out.Save(dir.File("big.icf"), ranges), kIcfOk);

        cmcEeprom back;
        back.Resize(big.Size());
        cmcIcfFile in;
        in.SetImage(&back);
        in.SetModelCode(0x7148);
        in.SetSubCode(0x100);
        in.SetMapRevCheck({[](void*, int) { return true; }, nullptr});
        ASSERT_EQ(in.Load(dir.File("big.icf"), ranges), kIcfOk) << bits;
        for (int a = 0; a <= ranges[0].Last; ++a) ASSERT_EQ(back.GetByte(a), big.GetByte(a)) << bits << " at " << a;
        EXPECT_EQ(in.GetMapRev(), 1);
        EXPECT_EQ(in.GetAdrBit(), bits);
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(IcfFixture, EachDamageGivesItsCodeAndLeavesTheImageAsItWas)
{
    // A file that is good up to its last line.
    const std::string good = kHead + "00001040414243444546474849" "4A4B4C4D4E4F\n";
    struct Case {
        const char* what;
        std::string text;
        bool withRanges;
        int code;
    } cases[] = {
        {"short first line", "7143000\n" + good.substr(9), false, kIcfFormat},
        {"non-hex first line", "7143000G\n" + good.substr(9), false, kIcfFormat},
        {"first line without newline", "71430000", false, kIcfFormat},
        {"nine characters on the first line without newline", "714300000", false, kIcfFormat},
        {"other model, sub code 0", "71480000\n" + good.substr(9), false, kIcfModel},
        {"other sub code", "71430100\n" + good.substr(9), false, kIcfExtra},
        {"MapRev refused", "71430000\n#MapRev=2\n00000100\n", false, kIcfMapRev},
        {"MapRev refused after the data began", good + "#MapRev=2\n", false, kIcfMapRev},
        {"AdrBit 20", kHead + "#AdrBit=20\n", false, kIcfFormat},
        {"odd number of data digits", good + "00100241424\n", false, kIcfFormat},
        {"count does not match the data", good + "0010034142\n", false, kIcfFormat},
        {"not hexadecimal", good + "00100141X2\n", false, kIcfFormat},
        {"a carriage return inside a record of a CRLF file", "71430000\r\n#MapRev=1\r\n0000020\r0AB\r\n", false,
         kIcfFormat},
        {"empty data line", good + "\n", false, kIcfFormat},
        {"one byte past the image", good + "003F024142\n", false, kIcfData},
        {"no data, with ranges", kHead, true, kIcfCoverage},
        {"all but the last byte", kHead + "0000" + "3F" + std::string(126, 'A') + "\n", true, kIcfCoverage},
        {"one byte outside the ranges", kHead + "0000" + "40" + std::string(128, 'A') + "\n", true, kIcfData},
    };
    for (const auto& c : cases) {
        boxes.clear();
        const dst_AdrRange partial[] = {{0, 62}, {1, 0}};
        const dst_AdrRange* ranges = !c.withRanges ? nullptr : std::string(c.what) == "one byte outside the ranges" ? partial : kAll;
        EXPECT_EQ(LoadText(c.text, ranges), c.code) << c.what;
        for (int a = 0; a < 64; ++a) ASSERT_EQ(image.GetByte(a), 0xEE) << c.what << " at " << a;
        ASSERT_EQ(boxes.size(), 1u) << c.what;
    }
    // The box: headline, blank line, the code's text; warning icon.
    EXPECT_EQ(boxes.back(), "Radio Programmer|File error\n\ndata|" + std::to_string(plat::MB_OK | plat::MB_ICONWARNING));
    EXPECT_EQ(file.Load(dir.File("missing.icf"), nullptr), kIcfFileOpen);
}

TEST_F(IcfFixture, HeaderCheckDecidesAndARefusalWithoutCodeIsTheModelCode)
{
    int stored = kIcfOk;
    std::vector<std::pair<int, int>> seen;
    file.SetHeaderCheck({[&](void*, int model, int sub, int* error) {
                             seen.emplace_back(model, sub);
                             *error = stored;
                             return model == 0x7148;
                         },
                         nullptr});
    EXPECT_EQ(LoadText("71480100\n" + kHead.substr(9), nullptr), kIcfOk);
    stored = kIcfNewer;
    EXPECT_EQ(LoadText("71430000\n" + kHead.substr(9), nullptr), kIcfNewer);
    stored = kIcfOk;
    EXPECT_EQ(LoadText("71430000\n" + kHead.substr(9), nullptr), kIcfModel);
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{0x7148, 0x100}, {0x7143, 0}, {0x7143, 0}}));
}

TEST_F(IcfFixture, HeaderLinesCommentsAndLineEnds)
{
    // Without ranges and without data no MapRev check is made.
    EXPECT_EQ(LoadText("71430000\n#MapRev=7\n", nullptr), kIcfOk);
    EXPECT_TRUE(mapRevsChecked.empty());
    EXPECT_EQ(file.GetMapRev(), 7);

    // Only lines that start with the header names are read as such; a
    // comment holding them is a comment.
    mapRevsChecked.clear();
    EXPECT_EQ(LoadText("71430000\n#Comment=MapRev=9 AdrBit=20\n# MapRev=5\n#MapRev=1\n#AdrBit=24\n"
                       "000002020102\n"
                       "GLOBAL_TG=1,2,3\n"
                       "00003F01FF",  // the last line has no newline
                       nullptr),
              kIcfOk);
    EXPECT_EQ(mapRevsChecked, std::vector<int>{1});
    EXPECT_EQ(file.GetAdrBit(), 24);
    EXPECT_EQ(image.GetByte(2), 1);
    EXPECT_EQ(image.GetByte(3), 2);
    EXPECT_EQ(image.GetByte(0x3F), 0xFF);

    // Without a MapRev check the first data line is refused.
    cmcIcfFile bare;
    bare.SetImage(&image);
    bare.SetModelCode(0x7143);
    qmtest::WriteFile(dir.File("x.icf"), kHead + "00000101\n");
    EXPECT_EQ(bare.Load(dir.File("x.icf"), nullptr), kIcfMapRev);

    // Files with "\r\n" line ends read as with "\n".
    file.SetAdrBit(16);
    EXPECT_EQ(LoadText("71430000\r\n#MapRev=1\r\n00000200AB\r\n", nullptr), kIcfOk);
    EXPECT_EQ(image.GetByte(1), 0xAB);

    // The longest record, 255 bytes, loads.
    image.Resize(256);
    const std::string longest = "0001FF" + std::string(510, 'C');
    EXPECT_EQ(LoadText(kHead + longest + "\n", nullptr), kIcfOk);
    EXPECT_EQ(image.GetByte(255), 0xCC);
    EXPECT_EQ(LoadText(kHead + longest + "CC\n", nullptr), kIcfFormat);
    image.Resize(64);

    // A comment with header names and line breaks survives a save and a load.
    for (int a = 0; a < 64; ++a) image.SetByte(a, a + 0x40);
    file.SetComment("AdrBit=20\n#MapRev=9");
    file.SetMapRev(1);
    file.SetAdrBit(32);
    ASSERT_EQ(file.Save(dir.File("c.icf"), kAll), kIcfOk);
    const std::string saved = qmtest::ReadFile(dir.File("c.icf"));
    EXPECT_EQ(saved.substr(0, 48), "71430000\n#Comment=AdrBit=20 #MapRev=9\n#MapRev=1\n");
    EXPECT_EQ(saved.find('\r'), std::string::npos);
    image.Fill(0);
    EXPECT_EQ(file.Load(dir.File("c.icf"), kAll), kIcfOk);
    EXPECT_EQ(file.GetMapRev(), 1);
    EXPECT_EQ(image.GetByte(63), 63 + 0x40);
}

TEST_F(IcfFixture, ACommentLongerThanALineIsCutSoThatTheFileLoadsBack)
{
    // The rest of a comment line longer than a reader's line would be read
    // as a data line, and the saved file refused.
    struct Case {
        std::string comment;
        size_t kept;
    } cases[] = {
        {std::string(768, 'c'), 757},
        {std::string(757, 'c'), 757},
        // A two-byte character across the limit goes as a whole.
        {std::string(756, 'c') + "\xC3\xA9", 756},
    };
    for (const auto& c : cases) {
        file.SetComment(c.comment);
        file.SetMapRev(1);
        file.SetAdrBit(16);
        ASSERT_EQ(file.Save(dir.File("long.icf"), kAll), kIcfOk);
        const std::string saved = qmtest::ReadFile(dir.File("long.icf"));
        EXPECT_EQ(saved.substr(9, saved.find('\n', 9) - 9), "#Comment=" + c.comment.substr(0, c.kept));
        image.Fill(0);
        EXPECT_EQ(file.Load(dir.File("long.icf"), kAll), kIcfOk) << c.comment.size();
        EXPECT_EQ(image.GetByte(63), 63 + 0x40);
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(IcfFixture, CompareLengthLetsAMissingTailPass)
{
    // Bytes 0-15 loaded, 16-63 required too: coverage fails unless only the
    // first 16 bytes are compared.
    const std::string text = kHead + "000010" + std::string(32, '1') + "\n";
    EXPECT_EQ(LoadText(text, kAll), kIcfCoverage);
    file.SetCompareSize(16);
    EXPECT_EQ(LoadText(text, kAll), kIcfOk);
    file.SetCompareSize(17);
    EXPECT_EQ(LoadText(text, kAll), kIcfCoverage);
}

TEST_F(IcfFixture, BitmapsAndCoverageSteps)
{
    std::vector<uint8_t> bits(2, 0);
    file.SetBits(bits, 3, 10, true);
    EXPECT_EQ(bits, (std::vector<uint8_t>{0xF8, 0x1F}));
    file.SetBits(bits, 10, 7, true);  // would end past the bitmap: nothing
    EXPECT_EQ(bits, (std::vector<uint8_t>{0xF8, 0x1F}));
    file.SetBits(bits, 4, 2, false);
    EXPECT_EQ(bits, (std::vector<uint8_t>{0xC8, 0x1F}));

    // Marking stops at the first range outside the image.
    const dst_AdrRange ranges[] = {{0, 0}, {62, 70}, {8, 8}, {1, 0}};
    file.MarkRequired(ranges);
    EXPECT_EQ(file.RequiredBitmap()[0], 0x01);
    EXPECT_EQ(file.RequiredBitmap()[1], 0x00);
    EXPECT_EQ(file.CheckCoverage(nullptr), kIcfCoverage);
    cmcIcfFile empty;
    EXPECT_EQ(empty.CheckCoverage(kAll), kIcfCoverage);
}

TEST_F(IcfFixture, AFailedSaveLeavesThePreviousFileIntact)
{
    const std::string target = dir.File("keep.icf");
    qmtest::WriteFile(target, "previous");
    auto onlyTheTarget = [&] { return std::distance(std::filesystem::directory_iterator(dir.Path()), {}) == 1; };

    // A range outside the image is a failure, never a partial file.
    const dst_AdrRange outside[] = {{0, 15}, {60, 64}, {1, 0}};
    EXPECT_EQ(file.Save(target, outside), kIcfFileAccess);
    EXPECT_EQ(qmtest::ReadFile(target), "previous");

    // A write error, as on a full disk: the file size limit makes the write fail.
    {
        struct rlimit old {};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
        auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 100;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const int code = file.Save(target, kAll);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previousHandler);
        EXPECT_EQ(code, kIcfFileAccess);
    }
    EXPECT_EQ(qmtest::ReadFile(target), "previous");
    EXPECT_TRUE(onlyTheTarget());

    // A target that cannot be replaced.
    std::filesystem::create_directories(dir.File("folder.icf/inside"));
    EXPECT_EQ(file.Save(dir.File("folder.icf"), kAll), kIcfFileAccess);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.icf/inside")));

    // A folder that does not exist: the file cannot be created.
    EXPECT_EQ(file.Save(dir.File("none/x.icf"), kAll), kIcfFileOpen);
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_NE(boxes[3].find("cannot open"), std::string::npos);
    EXPECT_NE(boxes[0].find("cannot write"), std::string::npos);
}
