#pragma once
// The flash loader's millisecond countdown.
//
// It counts on the platform's monotonic millisecond clock, which already has
// millisecond resolution: there is no timer resolution to raise while a
// countdown exists, so the flash loader's countdown is the core's one.
#include "core/cmcTick.h"

namespace fl {

using cmcTick = ::cmcTick;

} // namespace fl
