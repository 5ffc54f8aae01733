// The virtual bench with the simulated adapter and everything behind it, the
// port already open: the setting of every adapter, device and LED test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "serial/com_port.h"
#include "serial/transfer.h"
#include "sim/iss_rig.h"
#include "testkit/seam_harness.h"
#include "tests/support/capture.h"

namespace bc::test {

using Bytes = std::vector<uint8_t>;

struct IssBench {
    IssBench() {
        bench.port.peer = &rig.adapter;
        StdoutCapture quiet;
        EXPECT_TRUE(openPort(9, 19200, 'N', '8'));
        quiet.take();
    }

    // Runs `routine`, returning what it printed.
    template <typename F>
    std::string run(F&& routine) {
        StdoutCapture capture;
        std::forward<F>(routine)();
        return capture.take();
    }

    // Runs an endless routine until `ms` more virtual milliseconds have passed.
    template <typename F>
    std::string runFor(int64_t ms, F&& routine) {
        StdoutCapture capture;
        bench.stopAfter(ms);
        try {
            std::forward<F>(routine)();
            ADD_FAILURE() << "the routine returned";
        } catch (const sim::TimeUp&) {}
        return capture.take();
    }

    // The frames the adapter took, from the `from`-th on.
    std::vector<Bytes> framesFrom(size_t from = 0) const {
        const auto& all = rig.adapter.frames;
        return std::vector<Bytes>(all.begin() + long(std::min(from, all.size())), all.end());
    }

    sim::IssRig rig;  // outlives the bench, whose port points at it
    sim::SeamHarness bench;
};

inline std::string writeLine(int count) { return " iBytesWritten: " + std::to_string(count) + " "; }

}  // namespace bc::test
