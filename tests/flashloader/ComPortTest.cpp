#include "flashloader/ComPort.h"
#include "flashloader/FlashData.h"
#include "platform/base/IniFile.h"
#include "platform/base/MemorySerial.h"
#include "tests/flashloader/FlashTestSupport.h"
#include "tests/sim/FlashRadio.h"
#include "tests/support/TestSupport.h"

#include <numeric>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<const char*>;

std::string Fe20()
{
    std::string s;
    for (int i = 0; i < 20; ++i) s += "FE";
    return s;
}

// An S-record line of the given type, address and data, with a correct count
// and checksum unless told otherwise.
std::string Record(char type, uint32_t address, const std::vector<uint8_t>& data, int countDelta = 0, int sumDelta = 0)
{
    const int addressBytes = type == '1' ? 2 : type == '2' ? 3 : 4;
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(addressBytes + data.size() + 1 + countDelta)};
    for (int k = addressBytes - 1; k >= 0; --k) bytes.push_back(static_cast<uint8_t>(address >> (8 * k)));
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = std::accumulate(bytes.begin(), bytes.end(), 0u);
    bytes.push_back(static_cast<uint8_t>(~sum + sumDelta));
    std::string line = std::string("S") + type;
    char hex[3];
    for (uint8_t b : bytes) {
        std::snprintf(hex, sizeof hex, "%02X", b);
        line += hex;
    }
    return line;
}

class ComPortTest : public ::testing::Test {
protected:
    qmtest::ManualTime time;
    qmtest::TempDir dir;
    plat::ScopedMemorySerial serial;
    std::string ini = dir.File("QM7150Q.INI");
};

TEST_F(ComPortTest, ScriptsFollowTheRules)
{
    fl::ComPort port(ini);
    fl::g_FlashPassword = "1234";
    const std::string toSlow = "(38400)" + Fe20() + " EEEF E8 00000000 01 3237 FD";
    const std::string readMode = "FEFE EEEF E8 71430000 55 3030 FD";
    const std::string toFast = "(9600)" + Fe20() + " EEEF E8 00000000 01 3039 FD";
    struct Case {
        bool password, fast;
        std::string script;
        const char* baud;
    };
    const Case cases[] = {
        {false, false, toSlow + "(9600)" + readMode + toSlow, "9600"},
        {false, true, toSlow + "(9600)" + readMode + toFast, "38400"},
        // [04][36][31 32 33 34] as text "043631323334", sent as its ASCII codes
        {true, true, toSlow + "(9600)FEFE EEEF E8 71430000 99 303433363331333233333334 FD" + readMode + toFast, "38400"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(port.BuildScript(c.password, c.fast), c.script);
        EXPECT_EQ(port.Driver().Script(), c.script);
        EXPECT_EQ(port.Driver().BaudText(), c.baud);
    }
    EXPECT_EQ(port.BuildBootScript(), cases[1].script);
}

TEST_F(ComPortTest, OperationsSetTheirScriptsAndRefuseWhileBusy)
{
    fl::ComPort port(ini);
    int done = 0;
    auto count = [&](fl::dst_CDrv_Result&) { ++done; };

    ASSERT_TRUE(port.StartPassword(count)); // use password off: the boot script
    EXPECT_EQ(port.Driver().Script(), port.BuildBootScript());
    EXPECT_EQ(port.Driver().DefaultTimeout(), 5000);
    EXPECT_EQ(port.Driver().ScriptTimeout(), 2000);
    EXPECT_FALSE(port.SetPort(3));
    EXPECT_EQ(port.GetPort(), 1);
    EXPECT_FALSE(port.StartIdQuery(count));
    EXPECT_FALSE(port.StartRomWrite(count));
    time.Advance(500); // no line for COM1: the script cannot open it
    EXPECT_EQ(done, 1);
    EXPECT_TRUE(port.SetPort(3));
    EXPECT_EQ(port.GetPort(), 3);

    fl::g_FlashPassword = "x";
    port.SetUsePassword(true);
    ASSERT_TRUE(port.StartPassword(count));
    EXPECT_NE(port.Driver().Script().find(" 99 "), std::string::npos);
    time.Advance(500);

    ASSERT_TRUE(port.StartRomWrite(count));
    EXPECT_EQ(port.Driver().Script(), "");
    EXPECT_EQ(port.Driver().DefaultTimeout(), 2000);
    EXPECT_EQ(port.Driver().ScriptTimeout(), 1000);
    EXPECT_EQ(port.Param().FirstAddress, port.LowestRecordAddress());
    EXPECT_EQ(port.Param().EndAddress, port.LastDataAddress());
    EXPECT_EQ(port.Param().Total, port.BlockCount());
    EXPECT_EQ(port.Param().ImageSum, port.ImageSum());
    time.Advance(500);
    EXPECT_EQ(done, 3);
    EXPECT_EQ(port.Param().Total, 0); // cleared when the operation ended
}

TEST_F(ComPortTest, FinishedIdentityQueriesGoThroughTheIdentityCheck)
{
    qmsim::FlashRadio radio;
    qmsim::FlashRadioOnLine server(radio, serial.ports.Line(1));
    fl::ComPort port(ini);
    struct Case {
        const char* name;
        bool install;
        int setCode; // what the check sets, -1 nothing
        int code;
    };
    const Case cases[] = {
        {"no check installed", false, -1, fl::kResultBadIdentity},
        {"a check that accepts", true, -1, fl::kResultOk},
        {"a check that refuses", true, fl::kResultBadIdentity, fl::kResultBadIdentity},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int checked = 0;
        if (c.install)
            port.SetIdCheck([&](fl::dst_CDrv_Result& r) {
                ++checked;
                EXPECT_EQ(r.ModelCode, 0x7143);
                EXPECT_EQ(r.Payload.Length(), 127);
                if (c.setCode >= 0) r.Code = static_cast<uint8_t>(c.setCode);
            });
        else
            port.SetIdCheck(nullptr);
        int code = -1;
        ASSERT_TRUE(port.StartIdQuery([&](fl::dst_CDrv_Result& r) { code = r.Code; }));
        ASSERT_TRUE(time.host.AdvanceUntil([&] { return code >= 0; }, 10000));
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(checked, c.install ? 1 : 0);
    }
}

TEST_F(ComPortTest, ThePortIsKeptInTheIniFile)
{
    struct Case {
        const char* text; // of the INI file, nullptr for none
        int port;
    };
    const Case cases[] = {
        {nullptr, 1},
        {"[Com Settings]\nPort=7\n", 7},
        {"[com settings]\nPORT = 12\n", 12},
        {"[Com Settings]\nPort=-2\n", -2}, // used as it stands
        {"[Com Settings]\nPort=two\n", 1},
        {"[Com Settings]\nPort=\n", 1},
        {"[Other]\nPort=5\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "no file");
        std::filesystem::remove(ini);
        if (c.text) qmtest::WriteFile(ini, c.text);
        fl::ComPort port(ini);
        EXPECT_EQ(port.GetPort(), c.port);
    }

    qmtest::WriteFile(ini, "; kept\n[Other]\nA=1\n[Com Settings]\nPort=2\n");
    {
        fl::ComPort port(ini);
        EXPECT_TRUE(port.SetPort(9));
    }
    plat::IniFile file;
    ASSERT_TRUE(file.Load(ini));
    EXPECT_EQ(file.GetInt("Com Settings", "Port"), 9);
    EXPECT_EQ(file.Get("Other", "A"), "1");
    EXPECT_NE(qmtest::ReadFile(ini).find("; kept"), std::string::npos);

    // A folder that cannot be written: nothing happens.
    fl::ComPort nowhere("/proc/qm-no-such-folder/QM7150Q.INI");
}

TEST_F(ComPortTest, ImageLinesAreCheckedAndPlaced)
{
    std::vector<uint8_t> sixteen(16), thirtyTwo(32);
    std::iota(sixteen.begin(), sixteen.end(), 0xF0);
    std::iota(thirtyTwo.begin(), thirtyTwo.end(), 0x20);
    const std::string header = Record('0', 0, {'H', 'D', 'R'});
    const std::string s1 = Record('1', 0x0100, {1, 2, 3});
    const std::string s2fits = Record('2', 0x7FFF0, sixteen);
    const std::string s2long = Record('2', 0x7FFF0, thirtyTwo); // 76 characters
    const std::string end = "S9030000FC";
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        int error;
        int dataBytes;
    };
    const Case cases[] = {
        {"records below and at the end of the flash", {header, s1, s2fits, end}, fl::kImageOk, 19},
        {"no data record", {header, end}, fl::kImageOutOfRange, 0},
        {"a record that does not fit is counted, not stored", {s1, s2long}, fl::kImageDropped, 35},
        {"a record that starts beyond the flash", {s1, Record('2', 0x80000, {})}, fl::kImageOutOfRange, 3},
        {"lowercase hexadecimal", {"S1060100010203f2", s1}, fl::kImageBadLine, 3},
        {"a wrong checksum", {Record('1', 0x0100, {1, 2, 3}, 0, 1), s1}, fl::kImageBadLine, 3},
        {"a count that does not match the line", {Record('1', 0x0100, {1, 2, 3}, 1), s1}, fl::kImageBadLine, 3},
        {"a count too small for the address", {"S10201FC", s1}, fl::kImageBadLine, 3},
        {"an odd number of digits", {s1 + "0", s1}, fl::kImageBadLine, 3},
        {"records of 32-bit addresses", {s1, Record('3', 0x100, {1})}, fl::kImageBadLine, 3},
        {"a line that is no S-record", {s1, "hello"}, fl::kImageBadLine, 3},
    };
    fl::ComPort port(ini);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Lines lines;
        for (const auto& l : c.lines) lines.push_back(l.c_str());
        lines.push_back("");
        port.LoadImage(lines.data());
        EXPECT_EQ(port.ImageError(), c.error);
        EXPECT_EQ(port.DataByteCount(), c.dataBytes);
        EXPECT_EQ(port.BlockCount(), c.dataBytes / 128);
    }

    // The first case again: what lands where, and the sum.
    Lines lines = {header.c_str(), s1.c_str(), s2fits.c_str(), end.c_str(), ""};
    port.LoadImage(lines.data());
    EXPECT_EQ(port.Image()[0x0100], 1);
    EXPECT_EQ(port.Image()[0x0103], 0xFF);
    EXPECT_EQ(port.Image()[0x7FFFF], 0xFF); // F0 + 15
    EXPECT_EQ(port.Image()[0x7FFF0], 0xF0);
    EXPECT_EQ(port.LowestRecordAddress(), 0x0100u);
    EXPECT_EQ(port.HighestRecordAddress(), 0x7FFF0u);
    EXPECT_EQ(port.LastDataAddress(), 0x7FFFFu);
    EXPECT_EQ(port.CurrentRecordAddress(), 0x0100u);
    // 0x80000 x FF is 0 modulo 65536: the sum is that of (byte - FF).
    int expected = (1 - 0xFF) + (2 - 0xFF) + (3 - 0xFF);
    for (uint8_t b : sixteen) expected += b - 0xFF;
    EXPECT_EQ(port.ImageSum(), static_cast<uint16_t>(expected));

    // A record that does not fit leaves the image as it was there.
    lines = {s1.c_str(), s2long.c_str(), ""};
    port.LoadImage(lines.data());
    EXPECT_EQ(port.Image()[0x7FFF0], 0xFF);
}

// The embedded stand-in meets what the loader relies on and what a flashing
// pass should exercise.
TEST_F(ComPortTest, TheEmbeddedDataMeetTheirConstraints)
{
    fl::ComPort port(ini);
    ASSERT_EQ(port.ImageError(), fl::kImageOk);
    EXPECT_EQ(port.PreProcessLength(), 3884);
    EXPECT_EQ(std::vector<uint8_t>(port.PreProcessData(), port.PreProcessData() + 3884),
              std::vector<uint8_t>(fl::g_PreProcessBlock, fl::g_PreProcessBlock + 3884));
    EXPECT_TRUE(std::all_of(port.PreProcessData() + 3884, port.PreProcessData() + 8192, [](uint8_t b) { return b == 0; }));
    bool seen[256] = {};
    for (uint8_t b : fl::g_PreProcessBlock) seen[b] = true;
    EXPECT_TRUE(std::all_of(std::begin(seen), std::end(seen), [](bool s) { return s; }));

    int lines = 0;
    std::string first, last, lastData;
    bool s1 = false, s2 = false;
    for (; fl::g_MotLines[lines][0] != '\0'; ++lines) {
        std::string line = fl::g_MotLines[lines];
        EXPECT_LE(line.size(), 44u) << line;
        if (line[1] == '1') s1 = true;
        if (line[1] == '2') s2 = true;
        if (line[1] == '1' || line[1] == '2') lastData = line;
        if (lines == 0) first = line;
        last = line;
    }
    EXPECT_EQ(first.substr(0, 2), "S0");
    EXPECT_TRUE(last.substr(0, 2) == "S8" || last.substr(0, 2) == "S9");
    EXPECT_TRUE(s1 && s2);

    // Records are 128-aligned from the lowest address; the last record starts
    // off a 128-byte step and ends at the last byte of the flash, in a block
    // that is not blank.
    EXPECT_EQ(port.LowestRecordAddress() % 128, 0u);
    EXPECT_NE(port.HighestRecordAddress() % 128, 0u);
    EXPECT_EQ(port.HighestRecordAddress() / 128, port.LastDataAddress() / 128);
    EXPECT_EQ(port.LastDataAddress(), 0x7FFFFu);
    EXPECT_EQ(lastData.substr(0, 2), "S2");

    const uint8_t* image = port.Image();
    auto blank = [&](uint32_t block) {
        return std::all_of(image + block * 128, image + block * 128 + 128, [](uint8_t b) { return b == 0xFF; });
    };
    EXPECT_FALSE(blank(0x7FFFF / 128));
    // Data bytes FA to FF, records whose address bytes are FA to FF, a gap
    // of blank blocks between programmed ones, and S1 below 0x10000.
    bool high[6] = {};
    for (uint32_t a = 0; a < fl::kFlashImageSize; ++a)
        if (image[a] >= 0xFA) high[image[a] - 0xFA] = true;
    EXPECT_TRUE(std::all_of(std::begin(high), std::end(high), [](bool h) { return h; }));
    EXPECT_FALSE(blank(0xFA00 / 128));
    EXPECT_FALSE(blank(0xFF80 / 128));
    EXPECT_TRUE(blank(0x10000 / 128) && blank(0x10080 / 128));
    // A region covered by records that holds only FF.
    bool blankRecord = false;
    for (int i = 0; i < lines; ++i)
        blankRecord = blankRecord || std::string(fl::g_MotLines[i]).find("FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF") != std::string::npos;
    EXPECT_TRUE(blankRecord);

    EXPECT_EQ(std::vector<uint8_t>(image, image + fl::kFlashImageSize), flashtest::EmbeddedImage());
    EXPECT_EQ(port.BlockCount(), port.DataByteCount() / 128);
}

} // namespace
