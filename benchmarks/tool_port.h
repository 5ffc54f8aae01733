// The tool's own port, opened as the tool opens it (openPort with the main
// sequence's settings), on a chosen terminal.
#pragma once

#include <string>

#include "benchmarks/stats.h"

namespace bc::benchmarks {

bool openToolPort(const std::string& path);
void closeToolPort();

// `count` round trips of the adapter's set-pins frame (63 00: two bytes out,
// one back) through the tool's open port, as WriteFile and ReadFile take
// them; empty when a reply did not come.
Samples toolRoundTrips(int count);

}  // namespace bc::benchmarks
