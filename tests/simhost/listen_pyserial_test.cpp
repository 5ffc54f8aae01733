// benchcom-sim's network server, as an independent client sees it: pyserial's
// rfc2217:// and socket:// (Debian's python3-serial).
#include <gtest/gtest.h>

#include <string>

#include "tests/support/process.h"

namespace bc {
namespace {

const std::string kSim = BENCHCOM_SIM_PATH;
const std::string kClient = BENCHCOM_PYSERIAL_CLIENT;

test::ProcessResult clientOf(const std::string& listen) {
    return test::run({kSim, "--view", "/dev/null", "--listen", listen, "--", "/usr/bin/python3", kClient, "-"});
}

// The loopback plug: RTS drives CTS, DTR drives DSR and carrier detect.
TEST(SimListen, PyserialsRfc2217SeesTheAdapterAndTheLoopbackPlug) {
    const auto r = clientOf("rfc2217://127.0.0.1:0");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "version 070540\n"
              "rts 0 dtr 0: cts 0 dsr 0 cd 0\n"
              "rts 1 dtr 0: cts 1 dsr 0 cd 0\n"
              "rts 0 dtr 1: cts 0 dsr 1 cd 1\n"
              "rts 1 dtr 1: cts 1 dsr 1 cd 1\n"
              "speed 131071\n");
}

TEST(SimListen, PyserialsSocketGetsTheRawBytes) {
    const auto r = clientOf("socket://127.0.0.1:0");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "version 070540\n");
}

}  // namespace
}  // namespace bc
