// The benchcom executable on a pseudo-terminal through the real serial layer:
// the port opens, closes and opens again, and the exerciser starts.
#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include "tests/support/capture.h"
#include "tests/support/process.h"
#include "tests/support/pty.h"

namespace bc {
namespace {

TEST(BenchcomOnPty, OpensTwiceAndStartsTheExerciser) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    // Output to a terminal, so that the rounds can be watched as they come.
    test::Child child({BENCHCOM_PATH}, {"BENCHCOM_PORT=" + pty.slavePath()}, true);
    ASSERT_TRUE(child.waitForOutput("GetCommModemStatu_", 5000)) << child.result.out;
    child.signal(SIGINT);
    auto& r = child.finish();
    EXPECT_EQ(r.status, 130);  // ended through exit(): output flushed, port released
    int fd = open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY);
    int exclusive = -1;
    ASSERT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
    close(fd);
    EXPECT_EQ(exclusive, 0);
    auto rows = test::lines(r.out);
    ASSERT_GE(rows.size(), 16u);
    EXPECT_EQ(rows[7], "");
    EXPECT_EQ(rows[9], "USB-ISS and MAX2719 TCC version:-\t");
    EXPECT_EQ(rows[11], " serial port COM9 connect OK ");
    EXPECT_EQ(rows[12], "\r serial port COM9 connect OK ");
    EXPECT_EQ(rows[13], "\r" + std::string(52, '='));
    // A pseudo-terminal has no modem lines: the status word stays 0.
    EXPECT_EQ(rows[14], "GetCommModemStatus: 0000 0010 0020 0040 0080 ");
    EXPECT_EQ(rows[15], "GetCommModemStatu_: 0000 0010 0020 0040 0080 ");
}

}  // namespace
}  // namespace bc
