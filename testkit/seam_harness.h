// The test harness on the platform's seam: a simulated port and a virtual
// clock put under the platform calls for as long as the object lives, so that
// routines with long waits run in milliseconds. bc::exit becomes an exception, so a routine that
// ends the process can be run and its status checked.
#pragma once

#include <cstdint>

#include "platform/seam.h"
#include "sim/sim_port.h"

namespace bc::sim {

struct ProcessExit {
    int status;
};

// Thrown when the virtual time reaches the limit set with stopAfter(): the
// way to end a routine that never returns.
struct TimeUp {};

class SeamHarness {
public:
    SeamHarness();
    ~SeamHarness();
    SeamHarness(const SeamHarness&) = delete;
    SeamHarness& operator=(const SeamHarness&) = delete;

    // Ends the running routine (with TimeUp) once `ms` more virtual
    // milliseconds have passed.
    void stopAfter(int64_t ms);
    int64_t now() const { return clock.now(); }

    seam::VirtualClock clock;
    SimPort port;
};

}  // namespace bc::sim
