#pragma once
// An overlay text table: the reader of one overlay text file, or of an array
// of lines built in memory.
//
// A line whose first character is '#' and which has at least one more
// character opens a keyed section; the key is the rest of the line, byte for
// byte. Line n of a section is simply the n-th line after its key line: a
// section has no end of its own. "#End_Of_Ovl" is the last key ever indexed;
// when a key occurs more than once, its first occurrence wins.
//
// Keys are indexed lazily, only as far as a lookup needs. Each key keeps a
// cursor, so that walking a section line by line reads one line per call,
// and the lines read from a file pass through a cache of the 64 most
// recently used lines keyed by file offset.
//
// A key or line that the source does not hold is a configuration fault:
// "GTEX Error !\nThe index '<key>' was not found." ends the program.
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class cmcGTex {
public:
    // A line holds at most this many characters, its newline included ("\r\n"
    // counts as one); the rest of a longer physical line is the next line.
    static constexpr int LineLimit = 8191;
    static constexpr int CacheCapacity = 64;

    struct KeyNode {
        std::string Key;
        int64_t SectionStart = 0; // position of line 0
        KeyNode* Next = nullptr;
        int CursorLine = 0;          // the line that starts at CursorPosition
        int64_t CursorPosition = 0;
    };

    // Lines read so far: by section reads (cache hits included), and from the
    // source itself (indexing and cache misses).
    struct ReadCounts {
        long SectionLines = 0;
        long SourceLines = 0;
    };

    cmcGTex();
    ~cmcGTex();
    cmcGTex(const cmcGTex&) = delete;
    cmcGTex& operator=(const cmcGTex&) = delete;

    // Re-points the table at a file (opened on first use); the whole state is
    // reset. Returns 1.
    int OpenOverlayFile(const std::string& fileName);
    // Sets the line array as the source (lines without newlines). Returns 0
    // and changes nothing when the table already has a source, else 1. The
    // end of the array ends the source.
    int OpenOverlayLines(std::vector<std::string> lines);

    // Line n (from 0) of the key's section, newline cut; fatal when the key or
    // the line is missing.
    std::string GetText(const std::string& key, int n);
    std::string GetFirstLine(const std::string& key) { return GetText(key, 0); }
    // Lines 0, 1, 2 ... joined by "\n", up to the first line that is not empty
    // and starts with '#'.
    std::string GetMultiLineText(const std::string& key);

    // InitState sets a fresh, empty table without a source; FreeState
    // releases everything the table holds and closes the file.
    void InitState();
    void FreeState();

    // The node of the key, indexing further when needed; nullptr when the
    // source does not hold the key.
    KeyNode* FindKey(const std::string& key);
    int KeyCount() const { return m_keyCount; }
    const ReadCounts& Counts() const { return m_counts; }

private:
    enum SourceMode { NoSource = 0, LineArraySource = 1, FileSource = 2 };

    // A cached line: its length in bytes up to the following line and its
    // text (its position is kept apart, for a quick scan).
    struct CacheEntry {
        int64_t Length = 0;
        std::string Text;
    };

    void AppendKey(const std::string& key, int64_t position);
    void IndexNextLine();
    static void StripNewline(std::string& line);
    bool OpenSource();
    bool ReadLine(std::string& line, bool useCache);
    void CacheMoveToFront(size_t slot);
    bool ReadSourceLine(std::string& line);
    bool ReadFileLine(std::string& line);
    bool FillFileBuffer();
    int PeekFileByte();
    int64_t Tell() const { return m_position; }
    int Seek(int64_t position);
    [[noreturn]] static void Fail(const std::string& key);

    int m_mode = NoSource;
    int m_open = 0;
    std::FILE* m_file = nullptr;
    std::vector<std::string> m_lines;
    int64_t m_position = 0;
    std::string m_fileName;
    std::string m_lineBuffer;
    int64_t m_indexPosition = 0;
    int m_keyCount = 0;
    KeyNode m_keyHead; // dummy first node
    KeyNode* m_keyTail = &m_keyHead;
    std::vector<std::unique_ptr<KeyNode>> m_keyNodes;
    // Indexed keys by name (the first occurrence), so that finding a key costs
    // the same however many keys the file holds.
    std::unordered_map<std::string_view, KeyNode*> m_keyIndex;
    int m_moreToIndex = 1;

    // Fixed slots, so that a full cache reuses the memory of the line it
    // drops; a free slot has position -1. The slots form a circular list in
    // order of use through the sentinel CacheCapacity: the most recently used
    // slot follows it, the least recently used (or a free one) precedes it.
    std::array<int64_t, CacheCapacity> m_cachePositions;
    std::array<CacheEntry, CacheCapacity> m_cache;
    std::array<uint8_t, CacheCapacity + 1> m_cacheNext;
    std::array<uint8_t, CacheCapacity + 1> m_cachePrevious;

    // Bytes of the file from offset m_fileBufferStart.
    std::vector<char> m_fileBuffer;
    int64_t m_fileBufferStart = 0;
    size_t m_fileBufferLength = 0;

    ReadCounts m_counts;
};

// The system, language and help tables.
extern cmcGTex g_GTexSys;
extern cmcGTex g_GTex;
extern cmcGTex g_GTexHelp;
