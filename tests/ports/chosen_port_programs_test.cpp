// The programs as a person runs them with BENCHCOM_PORT: the simulated bench
// inside the program, the reason given when a port cannot be opened, the
// port list and the trace.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <fstream>

#include "platform/version.h"
#include "tests/support/capture.h"
#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"

namespace bc {
namespace {

using test::Child;
using test::run;
using test::ScratchDir;
using test::slurp;

const std::string kRun = BENCHCOM_RUN_PATH;
const std::string kSim = BENCHCOM_SIM_PATH;

std::string inDir(const ScratchDir& s, const std::string& command) {
    return "cd " + s.dir.string() + " && exec " + command;
}

// The loopback plug on the modem lines: the first status read finds every
// line down, and once break, RTS and DTR are up, CTS, DSR and carrier are.
TEST(ChosenPortEndToEnd, MainSequenceOnTheBenchInsideSeesTheLinesComeUp) {
    Child child({BENCHCOM_PATH}, {"BENCHCOM_PORT=sim"}, true);
    ASSERT_TRUE(child.waitForOutput("GetCommModemStatus: 00B0", 20000)) << child.result.out;
    child.signal(SIGINT);
    auto& r = child.finish();
    EXPECT_EQ(r.status, 130);
    const std::string firstRound =
        " serial port COM9 connect OK \n\r serial port COM9 connect OK \n\r"
        "====================================================\n"
        "GetCommModemStatus: 0000 0010 0020 0040 0080 \n"
        "GetCommModemStatu_: 00B0 0010 0020 0040 0080 \n"
        "====================================================\n"
        "GetCommModemStatus: 00B0 0010 0020 0040 0080 \n";
    EXPECT_NE(r.out.find(firstRound), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
}

// The same routine, the same console lines and the same files as on the
// bench that benchcom-sim serves on a pseudo-terminal.
TEST(ChosenPortEndToEnd, DualCaptureOnTheBenchInsideEqualsTheOneOnBenchcomSim) {
    ScratchDir inside, served;
    auto a = run({"/bin/sh", "-c", inDir(inside, kRun + " scopePollDual")}, {"BENCHCOM_PORT=sim"});
    auto b = run({"/bin/sh", "-c", inDir(served, kSim + " -- " + kRun + " scopePollDual")});
    EXPECT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(a.out, b.out);
    EXPECT_GT(a.out.size(), 100000u);  // the plot lines of 4000 samples
    for (const char* file : {"op_scope.csv", "gbookFtemp.js"}) {
        const std::string mine = slurp(inside.dir / file);
        EXPECT_GT(mine.size(), 30000u) << file;
        EXPECT_EQ(mine, slurp(served.dir / file)) << file;
    }
}

// Standard output keeps the routines' own failure lines; standard error says
// what was tried, why it failed and how to choose another port.
TEST(ChosenPortEndToEnd, APortThatCannotBeOpenedIsExplainedOnStandardError) {
    struct Case {
        const char* value;
        int code;
        std::string said;
    };
    const Case cases[] = {
        {"/dev/benchcom-no-such-device", 2,
         "benchcom-run: cannot open /dev/benchcom-no-such-device for \\\\.\\COM3 "
         "(BENCHCOM_PORT=/dev/benchcom-no-such-device): No such file or directory."},
        {"usb:04d8:ffee:NOSUCH", 2,
         "benchcom-run: cannot open usb:04d8:ffee:NOSUCH for \\\\.\\COM3: "
         "usb:04d8:ffee:NOSUCH matches no serial port;"},
        {"bench-port", 123,
         "benchcom-run: cannot open \\\\.\\COM3: BENCHCOM_PORT=bench-port names no port: give "
         "COMn, a device path, usb:VVVV:PPPP[:SERIAL], sim,"},
    };
    for (const Case& c : cases) {
        auto r = run({kRun, "issVersion"}, {std::string("BENCHCOM_PORT=") + c.value});
        EXPECT_EQ(r.status, 1) << c.value;
        EXPECT_EQ(r.out, "serial port COM9 connect fail \\\\.\\COM3 error " + std::to_string(c.code) +
                             "\n\rOpening Port Failed");
        EXPECT_EQ(r.err.rfind(c.said, 0), 0u) << r.err;
        EXPECT_NE(r.err.find("Choose the port with BENCHCOM_PORT (benchcom-run --list-ports"), std::string::npos);
        EXPECT_EQ(test::lines(r.err).size(), 1u) << r.err;
    }
}

// A path that opens but is no terminal fails at SetupComm, the first serial
// call; standard error says what the path is. A FIFO with nothing on its
// other end must not hold the open up. Before, standard error had nothing.
TEST(ChosenPortEndToEnd, APathThatIsNoSerialPortIsSaidToBeNone) {
    ScratchDir s;
    const std::string file = (s.dir / "port.txt").string(), fifo = (s.dir / "port.fifo").string();
    std::ofstream(file) << "not a port\n";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, const char*> cases[] = {
        {"/dev/null", "a character device that is not a terminal"},
        {"/dev/zero", "a character device that is not a terminal"},
        {file, "a regular file"},
        {fifo, "a FIFO"},
    };
    for (const auto& [path, kind] : cases) {
        Child child({kRun, "issVersion"}, {"BENCHCOM_PORT=" + path});
        auto& r = child.finish(10000);
        EXPECT_EQ(r.status, 1) << path;
        EXPECT_EQ(r.out, "serial port COM9 SetupComm fail  1\n\rOpening Port Failed") << path;
        EXPECT_EQ(r.err, "benchcom-run: cannot open " + path + " for \\\\.\\COM3 (BENCHCOM_PORT=" + path +
                             "): SetupComm failed: not a serial port but " + kind +
                             ". Choose the port with BENCHCOM_PORT (benchcom-run --list-ports lists this machine's "
                             "serial ports).\n");
    }
    EXPECT_EQ(slurp(file), "not a port\n");
}

// What a person puts in BENCHCOM_PORT reaches their terminal only as
// printable text: control bytes and escape sequences escaped, in quotes, and
// a huge value cut. Before, the line carried them raw, and all 100 KB.
TEST(ChosenPortEndToEnd, AValueWithControlBytesOrOfAnyLengthIsQuotedSafely) {
    auto escape = run({kRun, "issVersion"}, {"BENCHCOM_PORT=\x1b]0;pwned\x07\x1b[2J\rbench\"port"});
    EXPECT_EQ(escape.status, 1);
    EXPECT_EQ(
        escape.err.rfind("benchcom-run: cannot open \\\\.\\COM3: BENCHCOM_PORT=\"\\x1b]0;pwned\\x07\\x1b[2J\\x0dbench"
                         "\\\"port\" names no port: give COMn,",
                         0),
        0u)
        << escape.err;

    const std::string path = "/dev/" + std::string(100000, 'a');
    auto huge = run({kRun, "issVersion"}, {"BENCHCOM_PORT=" + path});
    EXPECT_EQ(huge.status, 1);
    const std::string shown = "\"" + path.substr(0, 80) + "\"... (100005 bytes)";
    EXPECT_EQ(huge.err, "benchcom-run: cannot open " + shown + " for \\\\.\\COM3 (BENCHCOM_PORT=" + shown +
                            "): File name too long. Choose the port with BENCHCOM_PORT (benchcom-run --list-ports "
                            "lists this machine's serial ports).\n");
    for (unsigned char c : escape.err + huge.err) EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << int(c);
}

TEST(ChosenPortEndToEnd, ListPortsNamesEachPortOnALineOfItsOwn) {
    auto r = run({kRun, "--list-ports"});
    EXPECT_EQ(r.status, 0);
    ASSERT_FALSE(r.out.empty());
    for (const std::string& line : test::lines(r.out))
        EXPECT_TRUE(line == "no serial ports found" || line.rfind("/dev/", 0) == 0) << line;
    EXPECT_EQ(run({kRun, "--list-ports", "extra"}).status, 2);
}

// The trace is written through a buffer; Ctrl-C still gets all of it into
// the file, down to the close.
TEST(ChosenPortEndToEnd, TraceOfAnInterruptedMainSequenceIsWhole) {
    ScratchDir s;
    const auto tracePath = s.dir / "port.trace";
    Child child({BENCHCOM_PATH}, {"BENCHCOM_PORT=sim", "BENCHCOM_TRACE=" + tracePath.string()}, true);
    ASSERT_TRUE(child.waitForOutput("GetCommModemStatu_: 00B0", 20000)) << child.result.out;
    child.signal(SIGINT);
    EXPECT_EQ(child.finish().status, 130);
    const auto trace = test::lines(slurp(tracePath));
    ASSERT_GE(trace.size(), 16u);
    EXPECT_EQ(trace[0], std::string("# benchcom ") + version() +
                            " port trace, format 2: seconds since the port was first opened; > sent, < received");
    EXPECT_EQ(trace[1].substr(13), "open the simulated bench for \\\\.\\COM3 (BENCHCOM_PORT=sim)");
    EXPECT_EQ(trace[4].substr(13), "SetCommState 19200 baud 8N1, DTR off, RTS off, no flow control");
    EXPECT_EQ(trace[6].substr(13), "close");
    EXPECT_EQ(trace[12].substr(13), "GetCommModemStatus 0x0000 (no line up)");
    EXPECT_EQ(trace[13].substr(13), "EscapeCommFunction SETBREAK");
    EXPECT_EQ(trace.back().substr(13), "close");
}

}  // namespace
}  // namespace bc
