#pragma once
// The layout of every image of the cloning program: the radio's clone memory
// (header, packed tables, directory, end marker), the working tables that the
// program edits, the working copies of the table directory and the list
// counters; and the small routines that find the dynamic area, copy the
// directory into the working area, look a table up and append an entry.
// All multi-byte numbers are big-endian.
#include <cstdint>
#include <span>

class cmcEeprom;

struct EepromMap {
    static constexpr int ImageSize = 328550;

    // Clone memory: the bytes that travel to and from the radio and files.
    static constexpr int CloneSize = 130944;
    static constexpr int CloneLast = CloneSize - 1;  // 0x1FF7F
    static constexpr int HeaderSize = 512;
    static constexpr int DynamicStart = 512;

    // Working tables.
    static constexpr int WorkStart = 130944;
    static constexpr int WorkEnd = 325696;  // one past the last working byte

    // Working copies of the table directory.
    static constexpr int MaxDirEntries = 129;
    static constexpr int Dir10Work = 325696;
    static constexpr int Dir10EntrySize = 10;
    static constexpr int Dir12Work = 326986;
    static constexpr int Dir12EntrySize = 12;

    // List counters (16-bit).
    static constexpr int CountIndKind18 = 328534;
    static constexpr int CountTgKind19 = 328536;
    static constexpr int CountIndKind28 = 328538;
    static constexpr int CountTgKind29 = 328540;
    static constexpr int CountToneList = 328542;
    static constexpr int CountNacList = 328544;
    static constexpr int CountIndKind32 = 328546;
    static constexpr int CountTgKind33 = 328548;

    // Clone-memory header fields.
    static constexpr int ModelMark = 0;      // the bytes 71 43
    static constexpr int FormatByte = 2;     // 1 or 2
    static constexpr int MakerMarker = 256;  // "VOSK Inc", 8 bytes
    static constexpr int DataFormat = 264;   // 0 or 1
    static constexpr int ModelCode = 266;    // 0x7143 or 0x7148
    static constexpr int End16PartA = 272;
    static constexpr int End16 = 274;
    static constexpr int Base16 = 276;
    static constexpr int Dir10Present = 288;
    static constexpr int Dir10Size = 290;
    static constexpr int Dir10Count = 292;
    static constexpr int Dir10Address = 294;
    static constexpr int End32PartA = 304;
    static constexpr int End32 = 308;
    static constexpr int Base32 = 312;
    static constexpr int Dir12Present = 320;
    static constexpr int Dir12Size = 322;
    static constexpr int Dir12Count = 324;
    static constexpr int Dir12Spare = 326;
    static constexpr int Dir12Address = 328;

    // The maker marker and the end marker of the packed data.
    static constexpr char Marker[] = "VOSK Inc";
    static constexpr int MarkerSize = 8;
};

// One working table: its id, its place in the working area and its shape.
struct WorkingTable {
    int Id;
    int Offset;
    int EntrySize;
    int EntryCount;
    int Bytes() const { return EntrySize * EntryCount; }
    int End() const { return Offset + Bytes(); }
};

// The 119 working tables, in the order of the unpack descriptors.
std::span<const WorkingTable> WorkingTables();
// The address tables 104, 105 and 106 that the packer fills.
std::span<const WorkingTable> PackerAddressTables();
// The working table of an id (either list), or null.
const WorkingTable* FindWorkingTable(int id);

// One directory entry, decoded from either form.
struct PtblEntry {
    uint32_t Address = 0;
    int Count = 0;
    int Size = 0;
    int Id = 0;
};

// The dynamic base: the 32-bit form's when it and both 32-bit ends are
// non-zero, else the 16-bit form's when it and both 16-bit ends are
// non-zero, else 0.
uint32_t DynamicBase(const cmcEeprom& image);
// Linear searches of the working copies (first match, at most 129 entries).
bool FindPtblEntry(const cmcEeprom& image, int id, PtblEntry& out);
bool FindLegacyPtblEntry(const cmcEeprom& image, int id, PtblEntry& out);
// The 12-byte working copy first (when its form is present), then the
// 10-byte one. Sees only the working copies.
bool FindTable(const cmcEeprom& image, int id, PtblEntry& out);
// Copies the stored directories into their working copies; true when at
// least one form is present. Every working entry is cleared before a stored
// entry is copied into it, and only stored entries that lie wholly inside the
// clone memory are copied.
bool CopyDirectory(cmcEeprom& image);
// Appends an entry to both working copies, using the header counts as the
// running counters. Nothing is appended to a copy that holds 129 entries.
void AddTable(cmcEeprom& image, uint32_t address, int count, int size, int id);
