#pragma once

#include <cstdint>

namespace bc {

// The monotonic clock, from an arbitrary start: the one reading of it that
// the platform layer's waits and time stamps, the simulators, the
// benchmarks and the tests share.
int64_t monotonicNs();
inline int64_t monotonicUs() { return monotonicNs() / 1000; }

}  // namespace bc
