// benchcom-run reaches every adapter, device and LED routine: run as a real
// process against the simulated adapter behind a pseudo-terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/monotonic.h"
#include "sim/iss_rig.h"
#include "tests/support/process.h"

namespace bc {
namespace {

struct ToolRun {
    int status = -1;
    std::string out;
};

// Runs benchcom-run with `args`, its port a pseudo-terminal whose far side
// the rig's adapter answers (in real time), until the tool exits.
ToolRun runTool(const std::vector<std::string>& args, sim::IssRig& rig) {
    ToolRun run;
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    EXPECT_GE(master, 0);
    grantpt(master);
    unlockpt(master);
    const std::string slavePath = ptsname(master);
    // Held open here so the far side stays up between the tool's opens; raw,
    // so that nothing echoes.
    const int slave = open(slavePath.c_str(), O_RDWR | O_NOCTTY);
    termios t;
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    tcsetattr(slave, TCSANOW, &t);

    std::vector<std::string> argv = {BENCHCOM_RUN_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    test::Child tool(argv, {"BENCHCOM_PORT=" + slavePath});
    sim::SimPort wire;                                  // only its outbox is used: the adapter's replies
    const int64_t giveUpUs = monotonicUs() + 20000000;  // a stuck tool fails the test below
    while (!tool.exited() && monotonicUs() < giveUpUs) {
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
            uint8_t buf[512];
            const ssize_t n = read(master, buf, sizeof buf);
            if (n > 0) rig.adapter.receive(buf, size_t(n), 0, wire);
            DWORD got = 0;
            wire.read(buf, sizeof buf, INT64_MAX, got);
            if (got) {
                EXPECT_EQ(write(master, buf, got), ssize_t(got));
            }
        }
        tool.pump(0);
    }
    const test::ProcessResult& done = tool.finish();
    run.status = done.status;
    run.out = done.out;
    close(slave);
    close(master);
    return run;
}

const char kOpened[] = " serial port COM9 connect OK \n\r";

TEST(RunTool, ListsEveryRoutineAndSequence) {
    sim::IssRig rig;
    const ToolRun help = runTool({"--help"}, rig);
    EXPECT_EQ(help.status, 0);
    for (const char* name :
         {"issVersion",          "issSerialNumber", "issSetIoMode",   "issChangeIoMode",    "issCmd5A10",
          "issRead5A12",         "issSetPins",      "leBytesToInt",   "srf08Range",         "panelWriteText",
          "setModeIICpollDisp",  "panelKeyDemo",    "ppSendPattern",  "ppSendPoint",        "ppCircleDemo",
          "sendMax7219Word",     "walkMax7219Pins", "initMax7219",    "clearMax7219",       "showMax7219Help",
          "sendMax7219Sequence", "sendMAX2719xyz",  "demoMax7219Xyz", "demoMax7219Patterns"})
        EXPECT_NE(help.out.find(std::string("  ") + name + " "), std::string::npos) << name;
    EXPECT_NE(help.out.find("sequences: seqDigits seq2525 seqError seqBlank seqZeros seqBars "
                            "seqWave seqPoints\n"),
              std::string::npos);
}

TEST(RunTool, ResultsComeOnALastLineOfTheirOwn) {
    sim::IssRig rig;
    EXPECT_EQ(runTool({"leBytesToInt", "0x34", "0x12"}, rig).out, "4660\n");
    const ToolRun point = runTool({"ppSendPoint", "3", "4", "255", "64", "0"}, rig);
    EXPECT_EQ(point.status, 0);
    EXPECT_EQ(point.out, std::string(kOpened) + " iBytesWritten: 11 \n pp: 11 7,  0 ack:255\n0\n");
    EXPECT_EQ(rig.plot.cell(3, 4), (sim::PlotModel::Colour{255, 64, 0}));
}

TEST(RunTool, DrivesTheAdapterThroughARealPort) {
    sim::IssRig rig;
    const ToolRun version = runTool({"issVersion"}, rig);
    EXPECT_EQ(version.out, std::string(kOpened) + " iBytesWritten: 2 \nISS:5A-01:ver: 07 05 40 \n");
    const ToolRun text = runTool({"panelWriteText", "12", "over a real line"}, rig);
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(rig.panel.row(0), "over a real line    ");
}

TEST(RunTool, RefusesAnUnknownSequenceOrAWrongArgumentCount) {
    sim::IssRig rig;
    const ToolRun unknown = runTool({"sendMax7219Sequence", "0", "seqNone"}, rig);
    EXPECT_EQ(unknown.status, 2);
    const ToolRun missing = runTool({"sendMAX2719xyz", "1", "2"}, rig);
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(rig.adapter.frames.empty());
}

}  // namespace
}  // namespace bc
