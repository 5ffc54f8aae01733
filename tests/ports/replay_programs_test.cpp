// The replay as a person meets it: a changed program caught at its first
// different call, a recording that ends with a lost console or a failed
// open, and traces that are no traces refused before anything runs.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/capture.h"
#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"

namespace bc {
namespace {

using test::Child;
using test::ScratchDir;
using test::slurp;

const std::string kRun = BENCHCOM_RUN_PATH;

test::ProcessResult runIn(const ScratchDir& dir, const std::string& routine, const std::string& port,
                          bool traced = false) {
    std::vector<std::string> env{"BENCHCOM_PORT=" + port};
    if (traced) env.push_back("BENCHCOM_TRACE=trace.txt");
    return test::run({"/bin/sh", "-c", "cd " + dir.dir.string() + " && exec " + kRun + " " + routine}, env);
}

void writeFile(const ScratchDir& dir, const std::string& name, const std::string& text) {
    std::ofstream(dir.dir / name, std::ios::binary) << text;
}

const std::string kOpenOk = " serial port COM9 connect OK \n\r";

// issVersion recorded, then the recording edited as if the program had
// changed: the replay stops at the adapter frame, line 7 of the trace.
TEST(ReplayedProgram, ACallOtherThanTheRecordingsEndsItWithFiveAndSaysWhere) {
    ScratchDir dir;
    ASSERT_EQ(runIn(dir, "issVersion", "sim", true).status, 0);
    const std::string trace = slurp(dir.dir / "trace.txt");
    const size_t frame = trace.find("> 5a 01 ");
    ASSERT_NE(frame, std::string::npos) << trace;
    ASSERT_EQ(test::lines(trace.substr(0, frame)).size(), 7u);  // the frame is on line 7

    std::string edited = trace;
    edited.replace(frame, 8, "> 5a 03 ");
    writeFile(dir, "trace.txt", edited);
    for (const char* mode : {"replay:", "replay-fast:"}) {
        const auto r = runIn(dir, "issVersion", std::string(mode) + "trace.txt");
        EXPECT_EQ(r.status, 5) << mode;
        EXPECT_EQ(r.err, "replay of trace.txt diverged at line 7: the recording sends 5a 03, the program sent 5a 01\n");
        EXPECT_EQ(r.out, kOpenOk) << mode;  // nothing after the open: the frame was never answered
    }

    // Cut after the time-outs: the program goes on past the recording's end.
    writeFile(dir, "trace.txt", trace.substr(0, frame - 13));
    const auto past = runIn(dir, "issVersion", "replay-fast:trace.txt");
    EXPECT_EQ(past.status, 5);
    EXPECT_EQ(past.err,
              "replay of trace.txt diverged at line 7: the recording has ended there, the program sent 5a 01\n");

    // A recording with one frame more than the program sends: the program's
    // end, which releases the port, is where it differs.
    writeFile(dir, "trace.txt", trace.substr(0, trace.rfind("close") - 13) + trace.substr(frame - 13));
    const auto early = runIn(dir, "issVersion", "replay-fast:trace.txt");
    EXPECT_EQ(early.status, 5);
    EXPECT_EQ(early.err,
              "replay of trace.txt diverged at line 9: the recording sends 5a 01, the program closed the port\n");
    EXPECT_NE(early.out.find("ISS:5A-01:ver: 07 05 40"), std::string::npos) << early.out;  // flushed before the end
}

// The reader closed the pipe during a capture: the recording ends with a
// lost console, and so does its replay, after the capture's files.
TEST(ReplayedProgram, ARecordingThatLostItsConsoleEndsItsReplaySo) {
    ScratchDir dir;
    Child child({"/bin/sh", "-c", "cd " + dir.dir.string() + " && exec " + kRun + " scopePollDual"},
                {"BENCHCOM_PORT=sim", "BENCHCOM_TRACE=trace.txt"});
    ASSERT_TRUE(child.waitForOutput("Polling waveform", 10000));
    child.closeOutput();
    ASSERT_EQ(child.finish().status, 141);
    const std::string csv = slurp(dir.dir / "op_scope.csv");
    ASSERT_NE(slurp(dir.dir / "trace.txt").find("console lost: the program ends with status 141\n"), std::string::npos);
    std::filesystem::remove(dir.dir / "op_scope.csv");
    const auto r = runIn(dir, "scopePollDual", "replay-fast:trace.txt");
    EXPECT_EQ(r.status, 141) << r.err;
    EXPECT_EQ(slurp(dir.dir / "op_scope.csv"), csv);
}

// A failed open at the bench fails the same way in its replay, code and all.
TEST(ReplayedProgram, AFailedOpenReplaysAsItFailed) {
    ScratchDir dir;
    const auto recorded = runIn(dir, "issVersion", "/dev/no-such-serial-device", true);
    ASSERT_EQ(recorded.status, 1);
    const auto replayed = runIn(dir, "issVersion", "replay-fast:trace.txt");
    EXPECT_EQ(replayed.status, 1);
    EXPECT_EQ(replayed.out, "serial port COM9 connect fail \\\\.\\COM3 error 2\n\rOpening Port Failed");
    EXPECT_EQ(replayed.out, recorded.out);
}

// Whatever the file holds, a trace that is none fails the open as any
// failed open does (error 13 on standard output), with one line on
// standard error that names the file, the line and what is wrong.
TEST(ReplayedProgram, ATraceThatIsNoneFailsTheOpenWithThirteen) {
    ScratchDir dir;
    const std::string header =
        "# benchcom-run 0.2.0 port trace, format 1: seconds since the port was first opened; > sent, < received\n";
    const struct {
        std::string text;
        std::string why;
    } cases[] = {
        {std::string("GIF89a\x01\x00", 8), "line 1: it is not a benchcom port trace: its first line is \"GIF89a??\""},
        {header + "   0.000000  open sim\n   0.000001  SetupComm in 128, out 99999999999\n",
         "line 3: the number 99999999999 is out of range (at most 4294967295)"},
        {header + "   0.000000  open sim\n   0.000001  SetupComm in 128, out\n",
         "line 3: it does not read as the trace writes SetupComm"},
    };
    for (const auto& c : cases) {
        writeFile(dir, "bad.trace", c.text);
        const auto r = runIn(dir, "issVersion", "replay:bad.trace");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "serial port COM9 connect fail \\\\.\\COM3 error 13\n\rOpening Port Failed");
        EXPECT_EQ(r.err,
                  "benchcom-run: cannot open replay:bad.trace for \\\\.\\COM3: the trace bad.trace cannot be "
                  "replayed: " +
                      c.why +
                      ". Choose the port with BENCHCOM_PORT (benchcom-run --list-ports lists this machine's "
                      "serial ports).\n");
    }
    const auto missing = runIn(dir, "issVersion", "replay:no-such.trace");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "serial port COM9 connect fail \\\\.\\COM3 error 2\n\rOpening Port Failed");
    EXPECT_NE(missing.err.find("the trace no-such.trace cannot be read: No such file or directory"), std::string::npos)
        << missing.err;
}

}  // namespace
}  // namespace bc
