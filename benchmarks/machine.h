// What the figures were taken on, for the report's head.
#pragma once

#include <string>

namespace bc::benchmarks {

// "N cores, CPU model, Linux kernel release".
std::string machineDescription();
// The 1-, 5- and 15-minute load averages as /proc/loadavg gives them.
std::string loadAverages();

}  // namespace bc::benchmarks
