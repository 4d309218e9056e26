#pragma once
// Repeater list files: the repeaters of one group of a repeater list (an LTR
// bank, kind 22; a ZEPH bank, kind 27; a multisite site, kind 31) saved as a
// clone file and loaded back into any group of the same list.
//
// A file holds, from address 0, an 8-byte header and 10-byte records. Files
// are written in map revision 4; files of the older fixed layout (revision 3,
// 20 records from address 14) are read as well. A file is outside input:
// everything in it is checked before the working image changes, and a file
// that is refused leaves the image exactly as it was.
#include <cstdint>
#include <string>
#include <vector>

class cmcEeprom;
namespace plat {
class Form;
}

namespace RepeaterFile {
constexpr int HeaderSize = 8;
constexpr int RecordSize = 10;
constexpr int V3Last = 214;       // a revision-3 file covers exactly 0 to 214
constexpr int V3Records = 14;     // where its 20 records start
constexpr int V3RecordCount = 20;
constexpr int V4Tail = 214;       // a written file ends at 214 + 10 n
const char* const Comment = "Repeater Data";

// The file's RF power code against the 2-bit RF power of a repeater: read as
// (code - 1) mod 4, written as its exact inverse.
constexpr int ReadRfPower(int code) { return (code + 3) & 3; }
constexpr int WriteRfPower(int power) { return (power + 1) & 3; }
}  // namespace RepeaterFile

// The map revisions the reader takes: 3 and 4.
bool AcceptRepeaterMapRev(int mapRev);

// The header and the records of group g of the list kind, as written at
// address 0 of a revision-4 file.
std::vector<uint8_t> BuildRepeaterExport(int group, int kind);

// Loads the file into group g of the list kind of the working image; shows
// what went wrong. 0 when the group now holds the file's repeaters, else the
// clone file's error code (or -1 when the group has no room for them).
int LoadRepeaterFile(const std::string& path, int group, int kind);
// Loads a file already read into the scratch image (map revision 3 or 4)
// into the group; the same answers and messages.
int MergeRepeaterFile(const cmcEeprom& scratch, int mapRev, int group, int kind);
// Saves group g to the file; 0, or the clone file's error code (shown).
int SaveRepeaterFile(const std::string& path, int group, int kind);

// The Load and Save buttons of the repeater window: a file dialog, then the
// load or save; 1 when the user cancelled.
int ImportRepeaterList(int group, int kind, plat::Form* owner);
int ExportRepeaterList(int group, int kind, plat::Form* owner);

// The file last loaded (revision 3) or saved; the folder followed by
// "Untitled" while there is none.
void SetRepeaterFileName(const std::string& path);
std::string RepeaterFileName();
