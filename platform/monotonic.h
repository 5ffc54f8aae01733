#pragma once

#include <cstdint>

namespace bc {

// Microseconds on the monotonic clock, from an arbitrary start: the one
// reading of the steady clock that every wait and time stamp in the platform
// layer shares.
int64_t monotonicUs();

}  // namespace bc
