// The measurements. Each adds its rows (and notes) to the report.
#pragma once

#include <cstdio>
#include <string>

#include "benchmarks/report.h"

namespace bc::benchmarks {

struct Config {
    std::string simPath, runPath, mainPath, testsPath;  // the programs measured
    std::string python, pyserialScript;                 // Debian's python3 and our pyserial client
    std::string scratch;                                // current directory; captures land here
    bool quick = false;                                 // fewer runs, for a smoke check
    int runs(int full) const { return quick ? (full + 2) / 3 : full; }
};

// P4: adapter round trip through the tool, the raw floor and pyserial, on
// benchcom-sim's terminal. Returns the floor's median round trip in ms.
double measureRoundTrips(const std::string& port, const Config& cfg, Report& report);
// P1: the four routines against the floors they cannot go below.
void measureRoutines(const std::string& port, double roundTripMs, const Config& cfg, Report& report);
// P2 and P3: the read time-outs on a terminal the benchmark serves.
void measureTimeouts(const Config& cfg, Report& report);
// P5: the unit test suite's wall time.
void measureSuite(const Config& cfg, Report& report);
// P6: last byte of the second block to both capture files closed.
void measureCaptureClose(const Config& cfg, Report& report);
// P7: adapter round trip across the network, through ser2net.
void measureNetworkRoundTrips(const Config& cfg, Report& report);
// P9: a long session's trace replayed on the virtual clock, against its length.
void measureReplay(const Config& cfg, Report& report);

}  // namespace bc::benchmarks
