#include "app/main_sequence.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/modem_line_exerciser.h"
#include "testkit/seam_harness.h"
#include "tests/support/capture.h"

namespace bc {
namespace {

using sim::ProcessExit;
using sim::SeamHarness;
using test::lines;
using test::StdoutCapture;

const char kLookups[] =
    "wanted value = 0\n"
    "wanted value = 2.5e-06\n"
    "wanted value = 0\n"
    "wanted value = 20\n"
    "wanted Bvalue = 12340\n"
    "wanted Bvalue = 12340\n"
    "wanted Bvalue = 12340\n";
const char kBanner[] = "\n++++++++++\nUSB-ISS and MAX2719 TCC version:-\t\n++++++++++\n";

struct MainRun {
    std::string out;
    int status;
};

MainRun runMain(SeamHarness&, std::vector<std::string> args = {"benchcom"}) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    char* envp[] = {nullptr};
    StdoutCapture capture;
    int status;
    try {
        status = bc::main(int(args.size()), argv.data(), envp);
    } catch (const ProcessExit& e) {
        status = e.status;
    }
    return MainRun{capture.take(), status};
}

TEST(MainSequence, WithoutDeviceReportsTheFailedOpenWaitsAndExitsWithOne) {
    SeamHarness bench;
    bench.port.presence = sim::SimPort::Presence::absent;
    MainRun run = runMain(bench);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, std::string(kLookups) + kBanner +
                           "serial port COM9 connect fail \\\\.\\COM3 error 2\n\r"
                           "Opening Port Failed");
    EXPECT_GE(bench.now(), 5000);
    EXPECT_LT(bench.now(), 5100);
}

// The message has no line end: on a terminal it would sit in the buffer
// through the wait and appear only at exit.
TEST(MainSequence, TheFailedOpenIsOutBeforeTheWait) {
    SeamHarness bench;
    bench.port.presence = sim::SimPort::Presence::absent;
    std::string outDuringWait;
    bench.clock.stopAt = 2500;
    bench.clock.onStop = [&] {
        // What has reached standard output's file so far.
        std::ifstream written("/proc/self/fd/1", std::ios::binary);
        outDuringWait.assign(std::istreambuf_iterator<char>(written), {});
    };
    EXPECT_EQ(runMain(bench).status, 1);
    EXPECT_TRUE(outDuringWait.ends_with("error 2\n\rOpening Port Failed")) << outDuringWait;
}

TEST(MainSequence, ArgumentsChangeNothing) {
    auto runWith = [](std::vector<std::string> args) {
        SeamHarness bench;
        return runMain(bench, std::move(args));
    };
    MainRun plain = runWith({"benchcom"});
    MainRun withArgs = runWith({"benchcom", "--help", "-x", "COM1", ""});
    EXPECT_EQ(plain.out, withArgs.out);
    EXPECT_EQ(plain.status, withArgs.status);
}

TEST(MainSequence, CompleteRunExercisesTheLinesTwoThousandTimes) {
    SeamHarness bench;
    MainRun run = runMain(bench);
    EXPECT_EQ(run.status, 0);
    std::string head =
        std::string(kLookups) + kBanner + " serial port COM9 connect OK \n\r" + " serial port COM9 connect OK \n\r";
    ASSERT_EQ(run.out.substr(0, head.size()), head);
    auto rows = lines(run.out.substr(head.size()));
    ASSERT_EQ(rows.size(), 6000u);
    // The loopback plug shows nothing before the first SETRTS/SETDTR, then
    // CTS from RTS and DSR and carrier from DTR.
    const std::string sep(52, '=');
    for (size_t i = 0; i < rows.size(); i += 3) {
        EXPECT_EQ(rows[i], sep);
        EXPECT_EQ(rows[i + 1], i == 0 ? "GetCommModemStatus: 0000 0010 0020 0040 0080 "
                                      : "GetCommModemStatus: 00B0 0010 0020 0040 0080 ");
        EXPECT_EQ(rows[i + 2], "GetCommModemStatu_: 00B0 0010 0020 0040 0080 ");
        if (HasFailure()) break;
    }
    EXPECT_GE(bench.now(), 200000);
    EXPECT_TRUE(bench.port.breakOn && bench.port.rts && bench.port.dtr);
    EXPECT_EQ(bench.port.openCount, 2);
    ASSERT_EQ(bench.port.escapes.size(), 6000u);
    EXPECT_EQ(bench.port.escapes[0].func, DWORD(SETBREAK));
    EXPECT_EQ(bench.port.escapes[1].func, DWORD(SETRTS));
    EXPECT_EQ(bench.port.escapes[2].func, DWORD(SETDTR));
}

TEST(MainSequence, FailingStatusQueryPrintsZero) {
    SeamHarness bench;
    modemStatus = 0;  // as in a process that has just started
    bench.port.modemStatusError = ERROR_INVALID_FUNCTION;
    MainRun run = runMain(bench);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("GetCommModemStatus: 0000 0010 0020 0040 0080 \n"), std::string::npos);
    EXPECT_EQ(run.out.find("00B0"), std::string::npos);
}

}  // namespace
}  // namespace bc
