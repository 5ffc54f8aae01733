// A second instance of the tool on a port the first one holds: the port is
// opened exclusively, so the second is refused with error 5 (access
// denied), root or not, and ends as a failed open ends; the first goes on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "tests/support/process.h"
#include "tests/support/pty.h"

namespace bc {
namespace {

using test::Child;

const std::string kRefused = "serial port COM9 connect fail \\\\.\\COM3 error 5\n\r";

TEST(HostileSecondInstance, IsRefusedWithErrorFiveWhileTheFirstHoldsThePort) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    const std::vector<std::string> env = {"BENCHCOM_PORT=" + pty.slavePath()};
    // The first instance waits for a reply that never comes (two reads of
    // 100 + 60000 ms); the terminal output shows when it holds the port.
    Child first({BENCHCOM_RUN_PATH, "count_rd", "60000"}, env, true);
    ASSERT_TRUE(first.waitForOutput(" serial port COM9 connect OK \n", 5000)) << first.result.out;

    // The main sequence ends after its 5 s wait with status 1; the run tool at once.
    const auto mainStarted = test::timeMark();
    Child mainSequence({BENCHCOM_PATH}, env);
    const auto runTool = test::run({BENCHCOM_RUN_PATH, "issVersion"}, env);
    EXPECT_EQ(runTool.out, kRefused + "Opening Port Failed");
    EXPECT_EQ(runTool.status, 1);
    auto& main = mainSequence.finish(20000);
    EXPECT_EQ(main.status, 1);
    EXPECT_TRUE(main.out.ends_with("\n++++++++++\n" + kRefused + "Opening Port Failed")) << main.out;
    EXPECT_GE(test::msSince(mainStarted), 4999.0);  // 5000 ticks of a millisecond clock
    if (geteuid() != 0) GTEST_LOG_(INFO) << "not root: the refusal was checked for an ordinary user";

    // The first instance still holds the port and ends cleanly when interrupted.
    first.signal(SIGINT);
    EXPECT_EQ(first.finish().status, 130);
    EXPECT_EQ(first.result.out, " serial port COM9 connect OK \n\r");
}

}  // namespace
}  // namespace bc
