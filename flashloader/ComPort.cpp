#include "flashloader/ComPort.h"

#include "core/TextFunctions.h"
#include "core/cmcTask.h"
#include "flashloader/FlashData.h"
#include "platform/base/IniFile.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace fl {

std::string g_FlashPassword;

namespace {

constexpr const char* kIniSection = "Com Settings";
constexpr const char* kIniKey = "Port";

std::string Format(const char* format, int a, int b, int c = 0, int d = 0)
{
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

int UpperHexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The bytes of an S-record line after its type, when the line is well formed:
// uppercase hexadecimal digits in pairs, a count that matches the bytes that
// follow it and leaves room for the address and the checksum, and a checksum
// that makes all bytes sum to FF.
bool DecodeRecord(std::string_view line, int addressLength, std::vector<uint8_t>& bytes)
{
    std::string_view hex = line.substr(2);
    if (hex.size() % 2 != 0 || hex.empty()) return false;
    bytes.clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        int hi = UpperHexDigit(hex[i]);
        int lo = UpperHexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes.push_back(static_cast<uint8_t>(hi << 4 | lo));
    }
    if (bytes[0] + 1u != bytes.size() || bytes[0] < addressLength + 1) return false;
    unsigned sum = 0;
    for (uint8_t b : bytes) sum += b;
    return (sum & 0xFF) == 0xFF;
}

// Address bytes of each record type; 0 for types no file may hold.
int AddressLength(char type)
{
    switch (type) {
    case '0': case '1': case '5': case '9': return 2;
    case '2': case '6': case '8': return 3;
    case '3': case '7': return 4;
    default: return 0;
    }
}

} // namespace

ComPort::ComPort(std::string iniPath)
    : m_driver(std::make_unique<cmcCloneDrv>()),
      m_preProcess(kPreProcessBufferSize, 0),
      m_image(kFlashImageSize, 0xFF),
      m_progressTask(new cmcTask),
      m_iniPath(std::move(iniPath))
{
    LoadPreProcessData();
    LoadImage(g_MotLines);
    m_driver->SetModel(kFirstModel, kSecondModel, 0);
    LoadPortSetting();
    m_progressTask->SetCallback([this](void*, cmcTask*) { OnProgressTick(); }, nullptr);
}

ComPort::~ComPort()
{
    SavePortSetting();
    m_progressTask->Dispose();
}

// Beside the cloning program's settings: a program folder is not writable.
std::string ComPort::DefaultIniPath() { return plat::ConfigDir() + "/Vosk/QM7150Q.INI"; }

int ComPort::ImageError() const
{
    if (m_highest >= kFlashImageSize) return kImageOutOfRange;
    return m_loadError;
}

bool ComPort::SetPort(int n)
{
    if (IsBusy()) return false;
    m_driver->SetPort(n, "9600");
    return true;
}

std::string ComPort::BuildScript(bool password, bool fast)
{
    const std::string fe20 = [] {
        std::string s;
        for (int i = 0; i < 20; ++i) s += "FE";
        return s;
    }();
    const int model = m_driver->FirstModel();

    // At 38400 baud: a radio listening at that speed moves to 9600.
    std::string script = "(38400)" + fe20 + Format(" EEEF E8 %04X%04X 01 %02X%02X FD", 0, 0, 0x32, 0x37);
    script += "(9600)";
    if (password) {
        // [length][two's complement of the character sum][characters], as
        // hexadecimal text, sent as the ASCII codes of that text.
        std::string block;
        unsigned sum = 0;
        for (unsigned char c : g_FlashPassword) sum += c;
        block += static_cast<char>(g_FlashPassword.size());
        block += static_cast<char>((0x100 - (sum & 0xFF)) & 0xFF);
        block += g_FlashPassword;
        script += Format("FEFE EEEF E8 %04X%04X 99 ", model, 0);
        script += StringToHex(StringToHex(block));
        script += " FD";
    }
    script += Format("FEFE EEEF E8 %04X%04X 55 %02X%02X FD", model, 0, 0x30, 0x30);
    if (fast) {
        // At 9600 baud: the radio moves to 38400, and the port follows it.
        script += "(9600)" + fe20 + Format(" EEEF E8 %04X%04X 01 %02X%02X FD", 0, 0, 0x30, 0x39);
        m_driver->SetPort(GetPort(), "38400");
    } else {
        script += "(38400)" + fe20 + Format(" EEEF E8 %04X%04X 01 %02X%02X FD", 0, 0, 0x32, 0x37);
        m_driver->SetPort(GetPort(), "9600");
    }
    m_driver->SetScript(script);
    return script;
}

CloneCompletion ComPort::DriverCompletion()
{
    return [this](dst_CDrv_Result& result) { OnDriverDone(result); };
}

bool ComPort::StartIdQuery(CloneCompletion completion)
{
    if (IsBusy()) return false;
    BuildScript(false, false);
    m_driver->SetDefaultTimeout(5000);
    m_driver->SetScriptTimeout(2000);
    m_completion = std::move(completion);
    return m_driver->StartIdQuery(DriverCompletion());
}

bool ComPort::StartPassword(CloneCompletion completion)
{
    if (IsBusy()) return false;
    if (m_usePassword)
        BuildScript(true, true);
    else
        BuildBootScript();
    m_driver->SetDefaultTimeout(5000);
    m_driver->SetScriptTimeout(2000);
    m_completion = std::move(completion);
    return m_driver->StartPassword(DriverCompletion());
}

bool ComPort::StartBootEntry(CloneCompletion completion)
{
    if (IsBusy()) return false;
    BuildBootScript();
    m_driver->SetDefaultTimeout(5000);
    m_driver->SetScriptTimeout(2000);
    m_completion = std::move(completion);
    return m_driver->StartBootEntry(DriverCompletion());
}

bool ComPort::StartPreProcess(CloneCompletion completion)
{
    if (IsBusy()) return false;
    m_driver->SetScript("");
    m_driver->SetDefaultTimeout(2000);
    m_driver->SetScriptTimeout(1000);
    m_param = dst_FlashParam{};
    m_param.Total = m_preProcessLength;
    m_param.ChunkSize = 255;
    m_param.Data = m_preProcess.data();
    m_completion = std::move(completion);
    if (!m_driver->StartPreProcess(m_param, DriverCompletion())) return false;
    m_progressTask->Schedule(10);
    return true;
}

bool ComPort::StartRomWrite(CloneCompletion completion)
{
    if (IsBusy()) return false;
    m_driver->SetScript("");
    m_driver->SetDefaultTimeout(2000);
    m_driver->SetScriptTimeout(1000);
    m_current = m_lowest;
    m_param = dst_FlashParam{};
    m_param.Total = m_blockCount;
    m_param.ChunkSize = 128;
    m_param.ImageSum = m_imageSum;
    m_param.FirstAddress = m_current;
    // The walk ends with the block that holds the last data byte, so the
    // tail of the last record is always sent.
    m_param.EndAddress = m_lastData;
    m_param.Data = m_image.data();
    m_completion = std::move(completion);
    if (!m_driver->StartRomWrite(m_param, DriverCompletion())) return false;
    m_progressTask->Schedule(30);
    return true;
}

void ComPort::OnDriverDone(dst_CDrv_Result& result)
{
    if (result.Operation == kOpIdQuery) {
        if (m_idCheck)
            m_idCheck(result);
        else
            result.Code = kResultBadIdentity;
    }
    // Cleared before the completion, which may start the next upload and
    // fill the block anew.
    m_param.Total = 0;
    m_param.Data = nullptr;
    CloneCompletion completion = std::move(m_completion);
    m_completion = nullptr;
    if (completion) completion(result);
}

void ComPort::OnProgressTick()
{
    if (!IsBusy()) {
        m_progressTask->Schedule(-1);
        return;
    }
    if (m_param.Total != 0 && m_progressReport) m_progressReport(m_driver->ProgressDone(), m_driver->ProgressTotal());
}

void ComPort::LoadPreProcessData()
{
    std::fill(m_preProcess.begin(), m_preProcess.end(), 0);
    std::memcpy(m_preProcess.data(), g_PreProcessBlock, kPreProcessLength);
    m_preProcessLength = kPreProcessLength;
}

void ComPort::LoadImage(const char* const* lines)
{
    std::fill(m_image.begin(), m_image.end(), 0xFF);
    m_dataBytes = 0;
    m_lowest = m_highest = 0xFFFFFFFF;
    m_lastData = 0;
    m_loadError = kImageOk;
    std::vector<uint8_t> bytes;
    for (int i = 0; lines != nullptr && lines[i] != nullptr && lines[i][0] != '\0'; ++i) {
        std::string_view line = lines[i];
        int addressLength = line.size() >= 2 && line[0] == 'S' ? AddressLength(line[1]) : 0;
        if (addressLength == 0 || !DecodeRecord(line, addressLength, bytes)) {
            m_loadError = kImageBadLine;
            continue;
        }
        if (line[1] == '3') {
            // Data this loader cannot place: the image would be incomplete.
            m_loadError = kImageBadLine;
            continue;
        }
        if (line[1] != '1' && line[1] != '2') continue; // header, count, end
        uint32_t address = 0;
        for (int k = 1; k <= addressLength; ++k) address = address << 8 | bytes[k];
        const uint32_t length = bytes[0] - addressLength - 1u;
        const uint8_t* data = bytes.data() + 1 + addressLength;
        m_lowest = std::min(m_lowest, address);
        if (m_highest == 0xFFFFFFFF || address > m_highest) m_highest = address;
        m_dataBytes += static_cast<int>(length);
        if (address <= kFlashImageSize - length) {
            std::memcpy(m_image.data() + address, data, length);
            if (length > 0) m_lastData = std::max(m_lastData, address + length - 1);
        } else {
            // Counted, not stored: the image must not be written.
            m_loadError = kImageDropped;
        }
    }
    m_blockCount = m_dataBytes / 128;
    m_imageSum = SumImage();
    m_current = m_lowest;
}

uint16_t ComPort::SumImage() const
{
    unsigned sum = 0;
    for (uint8_t b : m_image) sum += b;
    return static_cast<uint16_t>(sum);
}

void ComPort::LoadPortSetting()
{
    plat::IniFile ini;
    ini.Load(m_iniPath);
    long long port = ini.GetInt(kIniSection, kIniKey).value_or(1);
    if (port < INT_MIN || port > INT_MAX) port = 1;
    SetPort(static_cast<int>(port));
}

void ComPort::SavePortSetting() const
{
    plat::IniFile ini;
    ini.Load(m_iniPath);
    ini.SetInt(kIniSection, kIniKey, m_driver->PortNumber());
    // A folder that cannot be written keeps the old setting, silently.
    (void)ini.Save(m_iniPath);
}

} // namespace fl
