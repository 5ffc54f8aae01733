// Port servers that misbehave (tests/net/hostile_server.py): one that asks
// without end and never reads, one that does so once the data has begun,
// one that answers every setting with another value, one that closes every
// connection at once. None may hold the tool past its limits, and each
// failed open says why.
#include <gtest/gtest.h>

#include <string>

#include "platform/monotonic.h"
#include "tests/support/capture.h"
#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"

namespace bc {
namespace {

using test::Child;

const std::string kRun = BENCHCOM_RUN_PATH;

// A hostile server for as long as the object lives.
struct HostileServer {
    explicit HostileServer(const std::string& mode) : child({"/usr/bin/python3", BENCHCOM_HOSTILE_SERVER, mode}) {
        if (child.waitForOutput("\n", 10000)) port = child.result.out.substr(0, child.result.out.find('\n'));
    }
    ~HostileServer() { child.signal(SIGKILL); }
    std::string url(const char* scheme) const { return std::string(scheme) + "://127.0.0.1:" + port; }
    Child child;
    std::string port;
};

// A run that must end by itself: killed after a minute, which shows as 137.
struct TimedRun {
    test::ProcessResult r;
    double ms = 0;
};

TimedRun timedRun(const std::vector<std::string>& argv, const std::string& port) {
    const int64_t start = monotonicUs();
    Child child(argv, {"BENCHCOM_PORT=" + port});
    TimedRun t{child.finish(60000), 0};
    t.ms = double(monotonicUs() - start) / 1000;
    return t;
}

// The server floods "IAC DO 100" from the moment it accepts and reads
// nothing: the answers the tool owes fill the connection. Before, the tool
// waited in a send with no limit for ever.
TEST(HostileServer, OneThatAsksWithoutEndAndNeverReadsFailsTheOpenWithinItsLimit) {
    HostileServer server("flood");
    ASSERT_FALSE(server.port.empty());
    const TimedRun t = timedRun({kRun, "issVersion"}, server.url("rfc2217"));
    EXPECT_EQ(t.r.status, 1);
    EXPECT_EQ(t.r.out, "serial port COM9 connect fail \\\\.\\COM3 error 31\n\rOpening Port Failed");
    EXPECT_EQ(t.r.err, "benchcom-run: cannot open " + server.url("rfc2217") +
                           " for \\\\.\\COM3: 127.0.0.1:" + server.port +
                           " sent requests without end and did not read the answers: the connection was given up. "
                           "Choose the port with BENCHCOM_PORT (benchcom-run --list-ports lists this machine's "
                           "serial ports).\n");
    // The negotiation's limit is 2 s.
    EXPECT_LT(t.ms, 2000 + 1000);
}

// The same once a dual capture has begun: the connection is given up as
// lost, every later read fails at once, and the capture runs to its end
// with both files whole (the samples that never came read as 0). None of
// its three requests was answered: the run ends with 4, saying so.
TEST(HostileServer, OneThatStartsAskingMidCaptureEndsTheCaptureWithItsFilesWhole) {
    HostileServer server("flood-later");
    ASSERT_FALSE(server.port.empty());
    test::ScratchDir s;
    const TimedRun t = timedRun({"/bin/sh", "-c", "cd " + s.dir.string() + " && exec " + kRun + " scopePollDual"},
                                server.url("rfc2217"));
    EXPECT_EQ(t.r.status, 4) << t.r.err;
    EXPECT_EQ(t.r.err,
              "benchcom-run: 3 exchanges without a whole reply, the first in scopePollDual: \"*LRN?\\r\" got no "
              "reply\n");
    EXPECT_EQ(t.r.out.rfind(" serial port COM9 connect OK \n\rPolling waveform....\n", 0), 0u);
    EXPECT_NE(t.r.out.find("\ncount_rd: 0 8014 \n"), std::string::npos);
    // The last plot row: sample 0 is drawn at width (0 + 128) / 2.
    EXPECT_NE(t.r.out.find("\n 7998,  0,  0," + std::string(63, ' ') + "1\n\n"), std::string::npos);
    const std::string csv = test::slurp(s.dir / "op_scope.csv");
    EXPECT_TRUE(csv.ends_with("\n  0,  0\n===========================\n")) << csv.size();
    const auto js = test::lines(test::slurp(s.dir / "gbookFtemp.js"));
    ASSERT_EQ(js.size(), 4009u);
    EXPECT_TRUE(js.back().ends_with("',0,0,0,0,'3999');")) << js.back();
    // Three reads of the learn string and of each block, each failing at
    // once; nothing waits out a time-out.
    EXPECT_LT(t.ms, 5000);
}

// The server takes the option and answers each line setting, but with
// another value than asked: its port cannot take 19200 baud 8N1.
TEST(HostileServer, OneThatAnswersEverySettingWithAnotherValueIsSaidOnStandardError) {
    HostileServer server("other-values");
    ASSERT_FALSE(server.port.empty());
    const TimedRun t = timedRun({kRun, "issVersion"}, server.url("rfc2217"));
    EXPECT_EQ(t.r.status, 1);
    EXPECT_EQ(t.r.out, "serial port COM9  SetCommState fail  87\n\rOpening Port Failed");
    EXPECT_EQ(t.r.err, "benchcom-run: cannot open " + server.url("rfc2217") +
                           " for \\\\.\\COM3: SetCommState failed: the server answered 19200 baud with 9600 baud, a "
                           "setting its port cannot take. Choose the port with BENCHCOM_PORT (benchcom-run "
                           "--list-ports lists this machine's serial ports).\n");
}

// A raw TCP server that closes each connection at once has turned the tool
// away; before, the open succeeded and the routine read nothing from a
// connection already gone.
TEST(HostileServer, ARawServerThatClosesAtOnceTurnsTheToolAwayWithErrorFive) {
    HostileServer server("close");
    ASSERT_FALSE(server.port.empty());
    const TimedRun t = timedRun({kRun, "issVersion"}, server.url("socket"));
    EXPECT_EQ(t.r.status, 1);
    EXPECT_EQ(t.r.out, "serial port COM9 connect fail \\\\.\\COM3 error 5\n\rOpening Port Failed");
    EXPECT_EQ(t.r.err, "benchcom-run: cannot open " + server.url("socket") +
                           " for \\\\.\\COM3: 127.0.0.1:" + server.port +
                           " closed the connection as soon as it was made. Choose the port with BENCHCOM_PORT "
                           "(benchcom-run --list-ports lists this machine's serial ports).\n");
}

}  // namespace
}  // namespace bc
