// A dual capture that loses its instrument part-way, on a pseudo-terminal the
// test plays the instrument on, reached directly or through a port server.
#pragma once

#include <gtest/gtest.h>
#include <poll.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "scope/learn_string.h"
#include "tests/support/capture.h"
#include "tests/support/process.h"
#include "tests/support/pty.h"
#include "tests/support/scope_fixture.h"
#include "tests/support/scratch_dir.h"

namespace bc::test {

// Processor time a run may use besides its busy-waits: starting up,
// printing, writing files. A read that spun on the dead port instead of
// failing would use its whole time-out (seconds here).
inline constexpr double kSmallCpuMs = 400;

// Reads what the tool sends into `got` until `done(got)` holds (true) or
// `timeoutMs` passes (false).
template <typename Done>
bool awaitFromTool(Pty& pty, std::string& got, Done done, int timeoutMs) {
    const auto start = timeMark();
    char buf[4096];
    while (!done(got)) {
        const int left = timeoutMs - int(msSince(start));
        if (left <= 0) return false;
        pollfd p{pty.master(), POLLIN, 0};
        if (poll(&p, 1, left) <= 0) continue;
        const ssize_t n = read(pty.master(), buf, sizeof buf);
        if (n > 0) got.append(buf, size_t(n));
    }
    return true;
}

inline bool awaitText(Pty& pty, std::string& got, const std::string& text) {
    return awaitFromTool(
        pty, got, [&](const std::string& g) { return g.find(text) != std::string::npos; }, 5000);
}

inline bool awaitBytes(Pty& pty, std::string& got, size_t count) {
    return awaitFromTool(
        pty, got, [&](const std::string& g) { return g.size() >= count; }, 5000);
}

// benchcom-run scopeReadDual 1 on `port`, with the instrument played on
// `pty`, loses it after 2014 bytes of channel 1's block (`lose` makes it
// so): that read and every later one fail at once, the capture goes on with
// zeros, both files are written whole and the run ends as usual, with
// status 4 for the replies that did not come whole.
inline void dualCaptureLosesItsDevice(Pty& pty, const std::string& port, const std::function<void()>& lose) {
    ScratchDir s;
    Child child({"/bin/sh", "-c", "cd " + s.dir.string() + " && exec " BENCHCOM_RUN_PATH " scopeReadDual 1"},
                {"BENCHCOM_PORT=" + port}, true);
    std::string heard;
    ASSERT_TRUE(awaitText(pty, heard, "*LRN?\r"));
    const std::string learn = std::string(sampleLearnString) + "\n";
    pty.write(learn);
    ASSERT_TRUE(awaitText(pty, heard, ":acquire1:memory?\r"));
    std::vector<int> samples;
    for (int n = 0; n < 1000; ++n) samples.push_back(n % 100 - 50);
    const std::string block = makeBlock(1e-8f, 1, samples);
    pty.write(block.substr(0, 2014));
    ASSERT_TRUE(child.waitForOutput("count_rd: 2014 countGot: 2014 want: 8014 loop: 2\n", 5000));
    lose();
    const auto vanished = timeMark();
    auto& r = child.finish(40000);
    const double afterMs = msSince(vanished);

    // Channel 1's block came short, channel 2's not at all.
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.err.find("benchcom-run: 2 exchanges without a whole reply, the first in scopeReadDual: "
                         "\":acquire1:memory?\\r\" got 2014 of 8014 reply bytes\n"),
              std::string::npos);
    // Two failed reads end each counted read; nothing waits out a time-out.
    EXPECT_NE(r.out.find("count_rd: 0 countGot: 2014 want: 8014 loop: 1\n"
                         "count_rd: 0 countGot: 2014 want: 8014 loop: 0\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("count_rd: 0 countGot: 0 want: 8014 loop: 1\n"
                         "count_rd: 0 countGot: 0 want: 8014 loop: 0\n"
                         "count_rd: 0 8014 \n"),
              std::string::npos);
    EXPECT_LT(afterMs, 4 * (100 + 8014));  // within the time-outs still ahead
    EXPECT_LT(r.cpuMs, kSmallCpuMs);

    std::string csv = settingPerLine(learn);
    csv +=
        "Memory Length,4000,\nTrigger Level,0.000E+00,\nSource,CH1,\nProbe,1X,\nVertical Units,V,\n"
        "Vertical Scale,2.000E+00,\nVertical Position,2.000E+00,\nVertical2 Units,V,\n"
        "Vertical2 Scale,2.000E+00,\nVertical2 Position,2.000E+00,\nHorizontal Units,s,\n"
        "Horizontal Scale,2.500E-06,\nHorizontal Position,0.000E+00,\nHorizontal Mode,Main,\n" +
        samplingHead(1e-8f);
    for (int n = 0; n < 4000; ++n) csv += fmt("%3d,%3d\n", n < 1000 ? samples[size_t(n)] : 0, 0);
    EXPECT_EQ(readFile((s.dir / "op_scope.csv").c_str()), csv + "===========================\n");
    const auto js = lines(readFile((s.dir / "gbookFtemp.js").c_str()));
    ASSERT_EQ(js.size(), 4009u);
    EXPECT_TRUE(js[9 + 999].ends_with("',49,0,0,0,'999');")) << js[9 + 999];
    EXPECT_TRUE(js[9 + 1000].ends_with("',0,0,0,0,'1000');")) << js[9 + 1000];
}

}  // namespace bc::test
