// The device vanishing in the middle of an exchange, on a real
// pseudo-terminal: benchcom-run talks to the slave side, the test plays the
// device on the master side and closes it part-way. The routine must still
// end within its time-outs, exit as it would have, leave complete files
// behind, and not spin on the dead port: the processor time it used stays
// small (apart from the busy-waits its pacing calls for).
#include <gtest/gtest.h>
#include <poll.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "scope/learn_string.h"
#include "tests/support/capture.h"
#include "tests/support/led_fixture.h"
#include "tests/support/lost_capture.h"
#include "tests/support/process.h"
#include "tests/support/pty.h"
#include "tests/support/scope_fixture.h"

namespace bc {
namespace {

using test::Child;
using test::msSince;

using test::awaitBytes;
using test::awaitText;
using test::kSmallCpuMs;

const std::string kRun = BENCHCOM_RUN_PATH;

std::vector<std::string> env(const test::Pty& pty) { return {"BENCHCOM_PORT=" + pty.slavePath()}; }

// The capture loses its instrument after 2014 bytes of channel 1's block:
// that read and every later one fail at once, the capture goes on with
// zeros, both files are written whole and the run ends as usual.
TEST(HostileVanishingDevice, DuringADualCaptureTheFilesAreStillWrittenWhole) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    test::dualCaptureLosesItsDevice(pty, pty.slavePath(), [&] { pty.closeMaster(); });
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
    const auto beforeVanishing = test::timeMark();
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
    // Frame 11 (63 02: the clock raised on bit 13, a 0) went out and lost its
    // reply; the 42 after it went nowhere: 43 exchanges got no reply.
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.err,
              "benchcom-run: 43 exchanges without a whole reply, the first in sendMax7219Word: adapter frame 63 02 "
              "got 0 of 1 reply bytes\n");
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
    const auto vanished = test::timeMark();
    auto& r = child.finish(20000);
    const double afterMs = msSince(vanished);

    EXPECT_EQ(r.out, kConnected + "\n\n==============================================\n\r" +
                         "\n\r ScopeSendCmd: :TIM:SCAL?\n \n\r" + "    0,0.000000E+00,\n" + "0\n");
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.err,
              "benchcom-run: 1 exchange without a whole reply, the first in scopeQueryValue: \":TIM:SCAL?\\n\" "
              "got no reply\n");
    EXPECT_LT(afterMs, 600 + 100 + 999);
    EXPECT_LT(r.cpuMs, 600 + kSmallCpuMs);
}

}  // namespace
}  // namespace bc
