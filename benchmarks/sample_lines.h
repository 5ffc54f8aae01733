// P1's scopeReadDual, its own part: the 12000 lines a capture makes of its
// samples, by printf and as the capture makes them now.
#pragma once

#include "benchmarks/sections.h"

namespace bc::benchmarks {

void measureSampleLines(const Config& cfg, Report& report);

}  // namespace bc::benchmarks
