// pyserial's side of the round-trip comparisons (benchmarks/pyserial_round_trip.py,
// run by Debian's python3).
#pragma once

#include <string>
#include <vector>

#include "benchmarks/sections.h"

namespace bc::benchmarks {

// `count` adapter exchanges through pyserial on `port` (a terminal or a URL
// pyserial opens), after `warmUp` that are not counted: each round trip in
// microseconds, or none if pyserial failed.
std::vector<double> pyserialRoundTrips(const Config& cfg, const std::string& port, int warmUp, int count);

}  // namespace bc::benchmarks
