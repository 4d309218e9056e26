#pragma once
// Shared pieces of the item record codec (not for use outside the codec).
#include "model/ImageBytes.h"

#include <cstdint>

class datCh;

namespace codec {

constexpr int32_t MaxFrequency = 799999950;

// A place in the working image: `count` entries of `stride` bytes from `base`.
struct Slot {
    int base;
    int stride;
    int count;
    // The offset of entry i, or -1 when i is not an entry of the slot.
    int64_t At(int64_t i) const { return i >= 0 && i < count ? base + int64_t(stride) * i : -1; }
};

// Frequencies as the image holds them: bit 31 dropped, then clamped.
int32_t DecodeFrequency(uint32_t raw);
// Values below 1 become 0, values above the maximum the maximum.
uint32_t EncodeFrequency(int32_t value);

bool IsAllSpaces(const char* text, int n);

// The priority-removal option of the environment.
bool PriorityRemovalOn();

// Both return false when the item has no place (the record stays cleared or
// the image unchanged).
bool DecodeChannel(datCh& ch, int kind, int n);
bool EncodeChannel(datCh& ch, int kind, int n);
bool DecodeItem(datCh& ch, int kind, int i);
bool EncodeItem(datCh& ch, int kind, int i);

} // namespace codec
