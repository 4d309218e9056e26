#pragma once
// Unpacking the packed tables of an image's clone memory into its working
// tables, over one list of 119 table descriptors.
//
// UnpackDefaults fills the working tables of the initial (default) image,
// where one stored entry may serve as the template of a whole table;
// Dynamic2Static fills those of any other image, keeps what the stored tables
// do not cover, rebuilds the 512 channels from the two channel table pairs
// and the initial image, and packs the result again.
//
// Counts and indexes read from a file or a radio can be anything: every copy
// stays inside the clone memory and its working table, and the counts that
// the rest of the program walks are brought within their limits right after
// unpacking (SanitiseCounts).
#include <span>

class cmcEeprom;

// How the default unpack fills a working table from its stored table.
enum PtblFillMode {
    kFillOnce = 0,      // one entry of the descriptor's size, once
    kFillTemplate = 1,  // the first stored entry into every working entry
    kFillEntries = 2,   // min(descriptor count, stored count) entries
};

struct PtblDescriptor {
    int Id;
    int Destination;  // working offset
    int EntrySize;
    int EntryCount;
    int FillMode;  // the default list only
};

constexpr int kPtblDescriptorCount = 119;

// The descriptors of Dynamic2Static: the working tables' own shapes.
std::span<const PtblDescriptor> UnpackDescriptors();
// The descriptors of UnpackDefaults, in the same order, with their fill
// modes; some describe a whole table as one entry.
std::span<const PtblDescriptor> DefaultDescriptors();

// Unpacks the initial image (nothing without a directory).
void UnpackDefaults(cmcEeprom& image);
void UnpackDefaultTable(cmcEeprom& image, int row);
// Unpacks any other image; the channel rebuild reads the initial image of the
// model context. Nothing without a directory.
void Dynamic2Static(cmcEeprom& image);
void UnpackTable(cmcEeprom& image, int row);

// Limits of the counts the program walks.
namespace CountLimits {
constexpr int Channels = 512;
constexpr int LtrPerGroup = 20;
constexpr int LtrTotal = 2560;
constexpr int ZephPerGroup = 30;
constexpr int ZephTotal = 3840;
constexpr int SiteRepeaters = 30;
constexpr int Sites = 48;
}  // namespace CountLimits

// Brings the counts of an image within their limits: bank channel counts
// (walking banks 0-127 with the running sum of the stored counts, a bank at
// which the sum passes 512 gets count 0), the LTR, ZEPH and multisite group
// counts (per group, then the same running-sum rule for the total), the
// multisite site count and the eight list counters.
void SanitiseCounts(cmcEeprom& image);
