#include "core/cmcGTex.h"

#include "platform/base/Fatal.h"

#include <algorithm>
#include <cstring>

cmcGTex g_GTexSys;
cmcGTex g_GTex;
cmcGTex g_GTexHelp;

namespace {

constexpr size_t FileBufferSize = 64 * 1024;
const char EndKey[] = "End_Of_Ovl";

} // namespace

cmcGTex::cmcGTex() { InitState(); }

cmcGTex::~cmcGTex() { FreeState(); }

void cmcGTex::FreeState()
{
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
    m_open = 0;
    m_lines.clear();
    m_lines.shrink_to_fit();
    m_lineBuffer = std::string();
    m_keyHead.Next = nullptr;
    m_keyTail = &m_keyHead;
    m_keyIndex.clear();
    m_keyNodes.clear();
    m_keyCount = 0;
    m_cachePositions.fill(-1);
    for (CacheEntry& entry : m_cache) entry = CacheEntry();
    for (size_t i = 0; i <= CacheCapacity; ++i) {
        m_cacheNext[i] = static_cast<uint8_t>((i + 1) % (CacheCapacity + 1));
        m_cachePrevious[i] = static_cast<uint8_t>((i + CacheCapacity) % (CacheCapacity + 1));
    }
    m_fileBuffer = std::vector<char>();
    m_fileBufferStart = 0;
    m_fileBufferLength = 0;
}

void cmcGTex::InitState()
{
    FreeState();
    m_mode = NoSource;
    m_position = 0;
    m_fileName.clear();
    m_lineBuffer.reserve(LineLimit + 2);
    m_indexPosition = 0;
    m_moreToIndex = 1;
    m_counts = ReadCounts();
}

int cmcGTex::OpenOverlayFile(const std::string& fileName)
{
    InitState();
    m_fileName = fileName;
    m_mode = FileSource;
    return 1;
}

int cmcGTex::OpenOverlayLines(std::vector<std::string> lines)
{
    if (m_mode != NoSource) return 0;
    // Without a source nothing can have been indexed; start from a clean index
    // even if a lookup was attempted before.
    InitState();
    m_lines = std::move(lines);
    m_mode = LineArraySource;
    return 1;
}

void cmcGTex::AppendKey(const std::string& key, int64_t position)
{
    auto node = std::make_unique<KeyNode>();
    node->Key = key;
    node->SectionStart = position;
    node->CursorLine = 0;
    node->CursorPosition = position;
    m_keyTail->Next = node.get();
    m_keyTail = node.get();
    m_keyIndex.emplace(std::string_view(node->Key), node.get());
    m_keyNodes.push_back(std::move(node));
    ++m_keyCount;
}

void cmcGTex::StripNewline(std::string& line)
{
    auto newline = line.find('\n');
    if (newline != std::string::npos) line.resize(newline);
}

bool cmcGTex::OpenSource()
{
    if (m_mode == FileSource) {
        if (m_fileName.empty()) return false;
        m_file = std::fopen(m_fileName.c_str(), "rb");
        if (!m_file) return false;
        m_fileBuffer.resize(FileBufferSize);
        m_fileBufferStart = 0;
        m_fileBufferLength = 0;
    } else if (m_mode != LineArraySource) {
        return false;
    }
    m_open = 1;
    m_position = 0;
    return true;
}

int cmcGTex::Seek(int64_t position)
{
    if (!m_open || position < 0) return 1;
    m_position = position;
    return 0;
}

bool cmcGTex::FillFileBuffer()
{
    if (m_position >= m_fileBufferStart && m_position < m_fileBufferStart + static_cast<int64_t>(m_fileBufferLength))
        return true;
    m_fileBufferStart = m_position;
    m_fileBufferLength = 0;
    if (std::fseek(m_file, static_cast<long>(m_position), SEEK_SET) != 0) return false;
    m_fileBufferLength = std::fread(m_fileBuffer.data(), 1, m_fileBuffer.size(), m_file);
    return m_fileBufferLength > 0;
}

int cmcGTex::PeekFileByte()
{
    if (!FillFileBuffer()) return -1;
    return static_cast<unsigned char>(m_fileBuffer[static_cast<size_t>(m_position - m_fileBufferStart)]);
}

// One line of at most LineLimit characters, its newline ("\n" or "\r\n",
// kept as "\n") included when it fits. Fails at the end of the file.
bool cmcGTex::ReadFileLine(std::string& line)
{
    line.clear();
    bool readAny = false;
    while (static_cast<int>(line.size()) < LineLimit) {
        if (!FillFileBuffer()) break;
        const char* bytes = m_fileBuffer.data() + (m_position - m_fileBufferStart);
        size_t available = m_fileBufferLength - static_cast<size_t>(m_position - m_fileBufferStart);
        size_t take = std::min(available, static_cast<size_t>(LineLimit) - line.size());
        const void* newline = std::memchr(bytes, '\n', take);
        size_t i = newline ? static_cast<size_t>(static_cast<const char*>(newline) - bytes) : take;
        if (const void* cr = std::memchr(bytes, '\r', i)) i = static_cast<size_t>(static_cast<const char*>(cr) - bytes);
        line.append(bytes, i);
        m_position += static_cast<int64_t>(i);
        readAny = readAny || i > 0;
        if (i == take) continue;
        readAny = true;
        const char end = bytes[i];
        m_position += 1;
        if (end == '\n') {
            line.push_back('\n');
            break;
        }
        if (PeekFileByte() == '\n') {
            m_position += 1;
            line.push_back('\n');
            break;
        }
        line.push_back('\r'); // a lone carriage return is an ordinary character
    }
    return readAny;
}

bool cmcGTex::ReadSourceLine(std::string& line)
{
    if (!m_open) return false;
    if (m_mode == LineArraySource) {
        if (m_position < 0 || m_position >= static_cast<int64_t>(m_lines.size())) return false;
        const std::string& text = m_lines[static_cast<size_t>(m_position)];
        if (text.size() > static_cast<size_t>(LineLimit - 1)) {
            line.assign(text, 0, static_cast<size_t>(LineLimit));
        } else {
            line.assign(text);
            line.push_back('\n');
        }
        ++m_position;
    } else if (!ReadFileLine(line)) {
        return false;
    }
    ++m_counts.SourceLines;
    return true;
}

void cmcGTex::CacheMoveToFront(size_t slot)
{
    m_cacheNext[m_cachePrevious[slot]] = m_cacheNext[slot];
    m_cachePrevious[m_cacheNext[slot]] = m_cachePrevious[slot];
    m_cacheNext[slot] = m_cacheNext[CacheCapacity];
    m_cachePrevious[slot] = static_cast<uint8_t>(CacheCapacity);
    m_cachePrevious[m_cacheNext[CacheCapacity]] = static_cast<uint8_t>(slot);
    m_cacheNext[CacheCapacity] = static_cast<uint8_t>(slot);
}

bool cmcGTex::ReadLine(std::string& line, bool useCache)
{
    if (!useCache || m_mode != FileSource) return ReadSourceLine(line);

    const int64_t start = m_position;
    auto hit = std::find(m_cachePositions.begin(), m_cachePositions.end(), start);
    if (hit != m_cachePositions.end()) {
        const size_t slot = static_cast<size_t>(hit - m_cachePositions.begin());
        line = m_cache[slot].Text;
        m_position += m_cache[slot].Length;
        CacheMoveToFront(slot);
        return true;
    }
    if (!ReadSourceLine(line)) return false;
    const size_t slot = m_cachePrevious[CacheCapacity];
    m_cachePositions[slot] = start;
    m_cache[slot].Length = m_position - start;
    m_cache[slot].Text = line;
    CacheMoveToFront(slot);
    return true;
}

void cmcGTex::IndexNextLine()
{
    if (!m_moreToIndex) return;
    if (!m_open && !OpenSource()) {
        m_moreToIndex = 0;
        return;
    }
    if (Seek(m_indexPosition) != 0 || !ReadLine(m_lineBuffer, false)) {
        m_moreToIndex = 0;
        return;
    }
    if (m_lineBuffer.size() >= 2 && m_lineBuffer[0] == '#' && m_lineBuffer[1] != '\n') {
        std::string key = m_lineBuffer.substr(1);
        StripNewline(key);
        AppendKey(key, Tell());
        if (key == EndKey) m_moreToIndex = 0;
    }
    m_indexPosition = Tell();
}

cmcGTex::KeyNode* cmcGTex::FindKey(const std::string& key)
{
    auto found = m_keyIndex.find(std::string_view(key));
    if (found != m_keyIndex.end()) return found->second;
    while (m_moreToIndex) {
        const int before = m_keyCount;
        IndexNextLine();
        if (m_keyCount != before && m_keyTail->Key == key) return m_keyTail;
    }
    return nullptr;
}

void cmcGTex::Fail(const std::string& key)
{
    plat::Fatal("GTEX Error !\nThe index '" + key + "' was not found.");
}

std::string cmcGTex::GetText(const std::string& key, int n)
{
    KeyNode* node = FindKey(key);
    // A negative line is missing too: reading it would leave the cursor on
    // the wrong line.
    if (!node || !m_open || n < 0) Fail(key);

    int line = node->CursorLine;
    int64_t start = node->CursorPosition;
    if (line > n) {
        line = 0;
        start = node->SectionStart;
    }
    if (Seek(start) != 0) Fail(key);
    for (; line <= n; ++line) {
        ++m_counts.SectionLines;
        if (!ReadLine(m_lineBuffer, true)) Fail(key);
    }
    StripNewline(m_lineBuffer);
    node->CursorLine = n + 1;
    node->CursorPosition = Tell();
    return m_lineBuffer;
}

std::string cmcGTex::GetMultiLineText(const std::string& key)
{
    std::string text;
    for (int n = 0;; ++n) {
        std::string line = GetText(key, n);
        if (!line.empty() && line[0] == '#') break;
        if (n > 0) text.push_back('\n');
        text += line;
    }
    return text;
}
