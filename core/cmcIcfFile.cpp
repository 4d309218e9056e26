#include "core/cmcIcfFile.h"

#include "core/cmcEeprom.h"
#include "core/cmcGTex.h"
#include "platform/base/AtomicFile.h"
#include "platform/base/UserMessage.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>

namespace {

constexpr std::string_view kCommentLine = "#Comment=";
constexpr std::string_view kMapRevLine = "#MapRev=";
constexpr std::string_view kAdrBitLine = "#AdrBit=";
constexpr std::string_view kIgnoredRecord = "GLOBAL_TG";
constexpr char kHexDigits[] = "0123456789ABCDEF";
// A data line of w address digits holds from w + 4 to w + 512 characters.
constexpr int kMinDataDigits = 4;
constexpr int kMaxDataDigits = 512;

// The value of each hexadecimal digit (either case), -1 for anything else.
constexpr std::array<int8_t, 256> MakeHexTable()
{
    std::array<int8_t, 256> t{};
    for (auto& v : t) v = -1;
    for (int c = '0'; c <= '9'; ++c) t[c] = int8_t(c - '0');
    for (int c = 'A'; c <= 'F'; ++c) t[c] = int8_t(c - 'A' + 10);
    for (int c = 'a'; c <= 'f'; ++c) t[c] = int8_t(c - 'a' + 10);
    return t;
}
constexpr auto kHexValue = MakeHexTable();

int HexValue(char c) { return kHexValue[static_cast<unsigned char>(c)]; }

// The number of the hexadecimal digits, which the caller has checked.
uint32_t HexNumber(std::string_view digits)
{
    uint32_t v = 0;
    for (char c : digits) v = (v << 4) | uint32_t(HexValue(c));
    return v;
}

void AppendHex(std::string& out, uint32_t value, int digits)
{
    for (int k = digits - 1; k >= 0; --k) out += kHexDigits[(value >> (4 * k)) & 0xF];
}

// A decimal number at the start of the text, as the C library's atoi reads
// it: blanks, a sign, digits; 0 without digits; clamped to the int range.
int DecimalPrefix(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > INT_MAX) v = INT_MAX + 1LL;
    }
    if (negative) v = -v;
    if (v > INT_MAX) v = INT_MAX;
    return static_cast<int>(v);
}

bool ReadWholeFile(const std::string& fileName, std::string& text)
{
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (f == nullptr) return false;
    text.clear();
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    const bool ok = std::ferror(f) == 0;
    std::fclose(f);
    return ok;
}

// Lines as a reader in text mode sees them: "\r\n" reads as "\n"; a line
// holds at most LineLimit characters, its newline included, and the rest of
// a longer line is the next line.
class LineReader {
public:
    explicit LineReader(std::string_view text)
    {
        if (text.find("\r\n") == std::string_view::npos) {
            m_text = text;
            return;
        }
        m_own.reserve(text.size());
        for (size_t i = 0; i < text.size(); ++i)
            if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) m_own += text[i];
        m_text = m_own;
    }

    bool Next(std::string_view& line)
    {
        if (m_pos >= m_text.size()) return false;
        const size_t limit = std::min(m_text.size() - m_pos, size_t(cmcIcfFile::LineLimit));
        const size_t nl = m_text.substr(m_pos, limit).find('\n');
        const size_t length = nl == std::string_view::npos ? limit : nl + 1;
        line = m_text.substr(m_pos, length);
        m_pos += length;
        return true;
    }

private:
    std::string m_own;
    std::string_view m_text;
    size_t m_pos = 0;
};

struct ErrorText {
    int code;
    const char* key;
};

constexpr ErrorText kErrorTexts[] = {
    {kIcfFileOpen, "GI_Mess_FileErr_FileOpen"}, {kIcfFileAccess, "GI_Mess_FileErr_FileAccess"},
    {kIcfModel, "GI_Mess_FileErr_Model"},       {kIcfExtra, "GI_Mess_FileErr_Extra"},
    {kIcfMapRev, "GI_Mess_FileErr_MapRev"},     {kIcfFormat, "GI_Mess_FileErr_Format"},
    {kIcfCoverage, "GI_Mess_FileErr_Coverage"}, {kIcfData, "GI_Mess_FileErr_Data"},
    {kIcfNewer, "GI_Mess_FileErr_Newer"},
};

} // namespace

void cmcIcfFile::SetImage(cmcEeprom* image)
{
    m_image = image;
    AllocCoverage();
}

void cmcIcfFile::AllocCoverage()
{
    const int size = m_image ? m_image->Size() : 0;
    m_bitmapSize = (size + 7) / 8;
    m_compareLength = m_bitmapSize;
    m_loaded.assign(size_t(m_bitmapSize), 0);
    m_required.assign(size_t(m_bitmapSize), 0);
    SetBits(m_required, 0, size, true);
}

int cmcIcfFile::AddressDigits() const
{
    switch (m_adrBit) {
    case 24: return 6;
    case 32: return 8;
    default: return 4;
    }
}

int cmcIcfFile::Format(const dst_AdrRange* ranges, std::string& text) const
{
    const int size = m_image ? m_image->Size() : 0;
    const uint8_t* bytes = m_image ? m_image->Data() : nullptr;
    const int w = AddressDigits();
    const uint32_t addressMask = w == 8 ? 0xFFFFFFFFu : (1u << (4 * w)) - 1;

    text.clear();
    AppendHex(text, uint32_t(m_modelCode) & 0xFFFF, 4);
    AppendHex(text, uint32_t(m_subCode) & 0xFFFF, 4);
    text += '\n';
    // The comment stays on its line, so that it can never be read as a header
    // or data; a comment too long for the line a reader reads whole is cut
    // (before a character, never inside one).
    text += kCommentLine;
    size_t commentLength = std::min(m_comment.size(), size_t(LineLimit - 1) - kCommentLine.size());
    if (commentLength < m_comment.size())
        while (commentLength > 0 && (static_cast<unsigned char>(m_comment[commentLength]) & 0xC0) == 0x80) --commentLength;
    for (char c : std::string_view(m_comment).substr(0, commentLength)) text += (c == '\n' || c == '\r') ? ' ' : c;
    text += '\n';
    text += kMapRevLine;
    text += std::to_string(m_mapRev);
    text += '\n';
    text += kAdrBitLine;
    text += std::to_string(m_adrBit);
    text += '\n';

    for (const dst_AdrRange* r = ranges; r != nullptr && !IsRangeEnd(*r); ++r) {
        if (r->First < 0 || r->Last >= size) return kIcfFileAccess;
        // Each record: address, count, two digits a byte, newline; written
        // straight into room made for the whole range.
        const int64_t length = int64_t(r->Last) - r->First + 1;
        const int64_t records = length / m_bytesPerRecord + 2;
        const size_t start = text.size();
        text.resize(start + size_t(length * 2 + records * (w + 3)));
        char* out = text.data() + start;
        for (int64_t a = r->First; a <= r->Last;) {
            const int64_t blockEnd = (a / m_bytesPerRecord + 1) * m_bytesPerRecord - 1;
            const int n = int(std::min<int64_t>(blockEnd, r->Last) - a + 1);
            const uint32_t address = uint32_t(a) & addressMask;
            for (int k = w - 1; k >= 0; --k) *out++ = kHexDigits[(address >> (4 * k)) & 0xF];
            *out++ = kHexDigits[n >> 4];
            *out++ = kHexDigits[n & 0xF];
            for (int k = 0; k < n; ++k) {
                const uint8_t b = bytes[a + k];
                *out++ = kHexDigits[b >> 4];
                *out++ = kHexDigits[b & 0xF];
            }
            *out++ = '\n';
            a += n;
        }
        text.resize(size_t(out - text.data()));
    }
    return kIcfOk;
}

int cmcIcfFile::Save(const std::string& fileName, const dst_AdrRange* ranges)
{
    std::string text;
    int code = Format(ranges, text);
    if (code == kIcfOk) {
        switch (plat::SaveFileAtomically(fileName, text)) {
        case plat::SaveResult::Saved: break;
        case plat::SaveResult::CannotCreate: code = kIcfFileOpen; break;
        case plat::SaveResult::WriteFailed: code = kIcfFileAccess; break;
        }
    }
    ShowFileError(code);
    return code;
}

int cmcIcfFile::Load(const std::string& fileName, const dst_AdrRange* ranges)
{
    int code = kIcfOk;
    std::string text;
    if (!ReadWholeFile(fileName, text)) {
        code = kIcfFileOpen;
    } else {
        const cmcEeprom before = m_image ? *m_image : cmcEeprom();
        code = ParseLines(text, ranges);
        if (code != kIcfOk && m_image) m_image->Assign(before);
    }
    ShowFileError(code);
    return code;
}

int cmcIcfFile::ParseLines(std::string_view text, const dst_AdrRange* ranges)
{
    ClearLoaded();
    LineReader reader(text);
    std::string_view line;

    // Line 1: eight hexadecimal digits and the newline.
    if (!reader.Next(line) || line.size() != 9 || line[8] != '\n') return kIcfFormat;
    for (int k = 0; k < 8; ++k)
        if (HexValue(line[k]) < 0) return kIcfFormat;
    const int model = int(HexNumber(line.substr(0, 4)));
    const int sub = int(HexNumber(line.substr(4, 4)));
    if (m_headerCheck) {
        int error = kIcfOk;
        // A refusal that names no code is a foreign model.
        if (!m_headerCheck.Function(m_headerCheck.Owner, model, sub, &error)) return error != kIcfOk ? error : kIcfModel;
    } else {
        if (model != m_modelCode) return kIcfModel;
        if (sub != m_subCode) return kIcfExtra;
    }

    bool mapRevAccepted = false;
    while (reader.Next(line)) {
        if (line.empty()) continue;
        if (line[0] == '#') {
            if (line.starts_with(kMapRevLine)) {
                m_mapRev = DecimalPrefix(line.substr(kMapRevLine.size()));
                // A revision that comes after the data began is checked as
                // well, so the revision a loaded file reports was always
                // accepted (and the file saves as one that loads again).
                if (mapRevAccepted && !m_mapRevCheck.Function(m_mapRevCheck.Owner, m_mapRev)) return kIcfMapRev;
            }
            if (line.starts_with(kAdrBitLine)) {
                const int bits = DecimalPrefix(line.substr(kAdrBitLine.size()));
                if (bits != 16 && bits != 24 && bits != 32) return kIcfFormat;
                m_adrBit = bits;
            }
            continue;
        }
        if (!mapRevAccepted) {
            if (!m_mapRevCheck || !m_mapRevCheck.Function(m_mapRevCheck.Owner, m_mapRev)) return kIcfMapRev;
            mapRevAccepted = true;
        }
        if (line.back() == '\n') line.remove_suffix(1);
        if (line.starts_with(kIgnoredRecord)) continue;
        if (const int code = ParseRecord(line); code != kIcfOk) return code;
    }
    return ranges ? CheckCoverage(ranges) : kIcfOk;
}

int cmcIcfFile::ParseRecord(std::string_view line)
{
    const int w = AddressDigits();
    const int length = int(line.size());
    if (length < w + kMinDataDigits || length > w + kMaxDataDigits) return kIcfFormat;
    for (char c : line)
        if (HexValue(c) < 0) return kIcfFormat;
    const int64_t address = HexNumber(line.substr(0, size_t(w)));
    const int count = int(HexNumber(line.substr(size_t(w), 2)));
    if (length != w + 2 + 2 * count) return kIcfFormat;
    const int size = m_image ? m_image->Size() : 0;
    if (address + count > size) return kIcfData;

    uint8_t* bytes = m_image->Data();
    const char* p = line.data() + w + 2;
    for (int k = 0; k < count; ++k, p += 2) bytes[address + k] = uint8_t((HexValue(p[0]) << 4) | HexValue(p[1]));
    SetBits(m_loaded, address, count, true);
    return kIcfOk;
}

void cmcIcfFile::SetBits(std::vector<uint8_t>& bitmap, int64_t first, int64_t count, bool set)
{
    if (first < 0 || count <= 0 || first + count > int64_t(bitmap.size()) * 8) return;
    int64_t bit = first;
    const int64_t end = first + count;
    // Bit by bit up to a byte boundary, then whole bytes, then the rest.
    for (; bit < end && bit % 8 != 0; ++bit) {
        if (set) bitmap[size_t(bit / 8)] |= uint8_t(1u << (bit % 8));
        else bitmap[size_t(bit / 8)] &= uint8_t(~(1u << (bit % 8)));
    }
    for (; bit + 8 <= end; bit += 8) bitmap[size_t(bit / 8)] = set ? 0xFF : 0x00;
    for (; bit < end; ++bit) {
        if (set) bitmap[size_t(bit / 8)] |= uint8_t(1u << (bit % 8));
        else bitmap[size_t(bit / 8)] &= uint8_t(~(1u << (bit % 8)));
    }
}

void cmcIcfFile::ClearLoaded() { std::fill(m_loaded.begin(), m_loaded.end(), uint8_t(0)); }

void cmcIcfFile::MarkRequired(const dst_AdrRange* ranges)
{
    std::fill(m_required.begin(), m_required.end(), uint8_t(0));
    const int size = m_image ? m_image->Size() : 0;
    for (const dst_AdrRange* r = ranges; r != nullptr && !IsRangeEnd(*r); ++r) {
        if (r->First < 0 || r->First >= size || r->Last < 0 || r->Last >= size) break;
        SetBits(m_required, r->First, int64_t(r->Last) - r->First + 1, true);
    }
}

int cmcIcfFile::CheckCoverage(const dst_AdrRange* ranges)
{
    if (ranges == nullptr || m_bitmapSize == 0) return kIcfCoverage;
    MarkRequired(ranges);
    if (m_loaded == m_required) return kIcfOk;
    const size_t compare = size_t(std::clamp(m_compareLength, 0, m_bitmapSize));
    if (std::equal(m_loaded.begin(), m_loaded.begin() + compare, m_required.begin())) return kIcfOk;
    for (int k = 0; k < m_bitmapSize; ++k)
        if (m_loaded[size_t(k)] & ~m_required[size_t(k)]) return kIcfData;
    return kIcfCoverage;
}

void ShowFileError(int code)
{
    for (const ErrorText& e : kErrorTexts) {
        if (e.code != code) continue;
        const std::string text = g_GTex.GetText("GI_Mess_FileErr_Headline", 0) + "\n\n" + g_GTex.GetText(e.key, 0);
        plat::UserMessage(text, g_GTex.GetText("GI_Sys_AppTitle", 0), plat::MB_OK | plat::MB_ICONWARNING);
        return;
    }
}
