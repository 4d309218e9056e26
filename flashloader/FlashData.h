#pragma once
// The data the flash loader carries: the pre-process block that prepares the
// radio's boot loader, and the firmware image as S-record text lines. Both
// are generated at build time.
#include <cstdint>

namespace fl {

constexpr int kPreProcessLength = 3884;

extern const uint8_t g_PreProcessBlock[kPreProcessLength];
// S-record lines, the last one empty.
extern const char* const g_MotLines[];

} // namespace fl
