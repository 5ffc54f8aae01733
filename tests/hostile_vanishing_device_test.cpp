// The device vanishing in the middle of an exchange, on a real
// pseudo-terminal: benchcom-run talks to the slave side, the test plays the
// device on the master side and closes it part-way. The routine must still
// end within its time-outs, exit as it would have, leave complete files
// behind, and not spin on the dead port: the processor time it used stays
// small (apart from the busy-waits its pacing calls for).
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "scope/learn_string.h"
#include "tests/capture.h"
#include "tests/led_bench.h"
#include "tests/process.h"
#include "tests/pty.h"
#include "tests/scope_bench.h"
#include "tests/scratch_dir.h"

namespace bc {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using test::Child;
using test::fmt;
using test::lines;
using test::msSince;

const std::string kRun = BENCHCOM_RUN_PATH;

// Processor time a run may use besides its busy-waits: starting up,
// printing, writing files. A read that spun on the dead port instead of
// failing would use its whole time-out (seconds here).
constexpr double kSmallCpuMs = 400;

// Reads what the tool sends into `got` until `done(got)` holds (true) or
// `timeoutMs` passes (false).
template <typename Done>
bool awaitFromTool(test::Pty& pty, std::string& got, Done done, int timeoutMs) {
    const auto start = Clock::now();
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

bool awaitText(test::Pty& pty, std::string& got, const std::string& text) {
    return awaitFromTool(pty, got, [&](const std::string& g) { return g.find(text) != std::string::npos; }, 5000);
}

bool awaitBytes(test::Pty& pty, std::string& got, size_t count) {
    return awaitFromTool(pty, got, [&](const std::string& g) { return g.size() >= count; }, 5000);
}

std::vector<std::string> env(const test::Pty& pty) { return {"BENCHCOM_PORT=" + pty.slavePath()}; }

using Scratch = test::ScratchDir;

// The capture loses its instrument after 2014 bytes of channel 1's block:
// that read and every later one fail at once, the capture goes on with
// zeros, both files are written whole and the run ends as usual.
TEST(HostileVanishingDevice, DuringADualCaptureTheFilesAreStillWrittenWhole) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    Scratch s;
    Child child({"/bin/sh", "-c", "cd " + s.dir.string() + " && exec " + kRun + " scopeReadDual 1"}, env(pty),
                true);
    std::string heard;
    ASSERT_TRUE(awaitText(pty, heard, "*LRN?\r"));
    const std::string learn = std::string(sampleLearnString) + "\n";
    pty.write(learn);
    ASSERT_TRUE(awaitText(pty, heard, ":acquire1:memory?\r"));
    std::vector<int> samples;
    for (int n = 0; n < 1000; ++n) samples.push_back(n % 100 - 50);
    const std::string block = test::makeBlock(1e-8f, 1, samples);
    pty.write(block.substr(0, 2014));
    ASSERT_TRUE(child.waitForOutput("count_rd: 2014 countGot: 2014 want: 8014 loop: 2\n", 5000));
    pty.closeMaster();
    const auto vanished = Clock::now();
    auto& r = child.finish(40000);
    const double afterMs = msSince(vanished);

    EXPECT_EQ(r.status, 0);
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

    std::string csv = test::settingPerLine(learn);
    csv += "Memory Length,4000,\nTrigger Level,0.000E+00,\nSource,CH1,\nProbe,1X,\nVertical Units,V,\n"
           "Vertical Scale,2.000E+00,\nVertical Position,2.000E+00,\nVertical2 Units,V,\n"
           "Vertical2 Scale,2.000E+00,\nVertical2 Position,2.000E+00,\nHorizontal Units,s,\n"
           "Horizontal Scale,2.500E-06,\nHorizontal Position,0.000E+00,\nHorizontal Mode,Main,\n" +
           test::samplingHead(1e-8f);
    for (int n = 0; n < 4000; ++n) csv += fmt("%3d,%3d\n", n < 1000 ? samples[size_t(n)] : 0, 0);
    EXPECT_EQ(test::readFile((s.dir / "op_scope.csv").c_str()), csv + "===========================\n");
    const auto js = lines(test::readFile((s.dir / "gbookFtemp.js").c_str()));
    ASSERT_EQ(js.size(), 4009u);
    EXPECT_TRUE(js[9 + 999].ends_with("',49,0,0,0,'999');")) << js[9 + 999];
    EXPECT_TRUE(js[9 + 1000].ends_with("',0,0,0,0,'1000');")) << js[9 + 1000];
}

const std::string kConnected = " serial port COM9 connect OK \n\r";

// A word loses the adapter after its eleventh pin frame went out: every
// later frame fails at once (a write count of 0), the word still ends with
// its 600 ms hold, and the run ends as usual.
TEST(HostileVanishingDevice, DuringAnLedWordTheLaterFramesFailAtOnce) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    Child child({kRun, "sendMax7219Word", "0x0C01"}, env(pty));
    std::string heard;
    for (size_t frame = 1; frame <= 10; ++frame) {
        ASSERT_TRUE(awaitBytes(pty, heard, 2 * frame));
        pty.write("\xff");
    }
    ASSERT_TRUE(awaitBytes(pty, heard, 2 * 11));
    // The mark goes before the device vanishes: the hold cannot begin before
    // that, so however long this thread takes to close it, the time from the
    // mark to the end holds the whole hold.
    const auto beforeVanishing = Clock::now();
    pty.closeMaster();
    auto& r = child.finish(20000);
    const double afterMs = msSince(beforeVanishing);

    std::string frames;
    const test::Bytes pins = test::pinFramesFor(0x0C01);
    for (size_t i = 0; i < 11; ++i) frames += std::string{'\x63', char(pins[i])};
    EXPECT_EQ(heard, frames);
    std::string out = kConnected + "\n=========\nMAX2719: 0C01  \n";
    for (int frame = 1; frame <= 53; ++frame) out += frame <= 11 ? " iBytesWritten: 2 \n" : " iBytesWritten: 0 \n";
    EXPECT_EQ(r.out, out);
    EXPECT_EQ(r.status, 0);
    // The hold after the word is kept: 600 ticks of a millisecond clock,
    // which the first reading may take just before a tick ends.
    EXPECT_GE(afterMs, 599);
    EXPECT_LT(afterMs, 42 * (5 + 2 + 100 + 1) + 600);
    EXPECT_LT(r.cpuMs, 600 + kSmallCpuMs);
}

// A query loses its instrument while the tool waits the 600 ms before
// reading: the read fails at once and the query reads as no reply at all.
TEST(HostileVanishingDevice, DuringAQueryTheReplyReadsAsNone) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    Child child({kRun, "scopeQueryValue", ":TIM:SCAL?\\n"}, env(pty));
    std::string heard;
    ASSERT_TRUE(awaitText(pty, heard, ":TIM:SCAL?\n"));
    pty.closeMaster();
    const auto vanished = Clock::now();
    auto& r = child.finish(20000);
    const double afterMs = msSince(vanished);

    EXPECT_EQ(r.out, kConnected + "\n\n==============================================\n\r" +
                         "\n\r ScopeSendCmd: :TIM:SCAL?\n \n\r" + "    0,0.000000E+00,\n" + "0\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_LT(afterMs, 600 + 100 + 999);
    EXPECT_LT(r.cpuMs, 600 + kSmallCpuMs);
}

}  // namespace
}  // namespace bc
