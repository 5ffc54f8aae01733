// benchcom-sim --replay: a recording's devices served on the terminal and
// over TCP, to the tool itself and to an independent client (pyserial).
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"

namespace bc {
namespace {

using test::ScratchDir;
using test::slurp;

const std::string kRun = BENCHCOM_RUN_PATH;
const std::string kSim = BENCHCOM_SIM_PATH;
const std::string kClient = BENCHCOM_PYSERIAL_CLIENT;

test::ProcessResult inDir(const ScratchDir& dir, const std::string& command, std::vector<std::string> env = {}) {
    return test::run({"/bin/sh", "-c", "cd " + dir.dir.string() + " && exec " + command}, std::move(env));
}

// A dual capture recorded on the bench inside, served back on a terminal:
// the same console lines and the same files.
TEST(ReplayServed, ACaptureRecordedAtTheBenchComesBackOnTheTerminal) {
    ScratchDir bench, served;
    const auto recorded = inDir(bench, kRun + " scopePollDual", {"BENCHCOM_PORT=sim", "BENCHCOM_TRACE=trace.txt"});
    ASSERT_EQ(recorded.status, 0);
    const auto replayed = inDir(served, kSim + " --view /dev/null --replay " + (bench.dir / "trace.txt").string() +
                                            " -- " + kRun + " scopePollDual");
    EXPECT_EQ(replayed.status, 0);
    EXPECT_EQ(replayed.err, "");
    EXPECT_TRUE(replayed.out == recorded.out) << "the console differs";
    for (const char* file : {"op_scope.csv", "gbookFtemp.js"})
        EXPECT_TRUE(slurp(served.dir / file) == slurp(bench.dir / file)) << file;
}

// pyserial asks the adapter for its version (5A 01): a recording of that
// answers it; a recording of the serial number (5A 03) says where it first
// differed and answers nothing.
TEST(ReplayServed, PyserialIsAnsweredByTheRecordingOrToldWhereItDiffers) {
    ScratchDir dir;
    ASSERT_EQ(inDir(dir, kRun + " issVersion", {"BENCHCOM_PORT=sim", "BENCHCOM_TRACE=version.txt"}).status, 0);
    ASSERT_EQ(inDir(dir, kRun + " issSerialNumber", {"BENCHCOM_PORT=sim", "BENCHCOM_TRACE=serial.txt"}).status, 0);
    const std::string client = " --listen socket://127.0.0.1:0 -- /usr/bin/python3 " + kClient + " -";
    const auto answered = inDir(dir, kSim + " --view /dev/null --replay version.txt" + client);
    EXPECT_EQ(answered.status, 0) << answered.err;
    EXPECT_EQ(answered.out, "version 070540\n");
    EXPECT_EQ(answered.err, "");
    const auto differs = inDir(dir, kSim + " --view /dev/null --replay serial.txt" + client);
    EXPECT_EQ(differs.out, "version \n");
    EXPECT_EQ(differs.err,
              "benchcom-sim: replay of serial.txt diverged at line 7: the recording sends 03 as byte 2 of 2 there, "
              "the client sent 01\n");
}

// A trace that is none is refused before anything is served.
TEST(ReplayServed, ATraceThatIsNoneIsRefused) {
    ScratchDir dir;
    std::ofstream(dir.dir / "bad.txt") << "hello\n";
    const auto r = inDir(dir, kSim + " --replay bad.txt -- /bin/true");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "benchcom-sim: the trace bad.txt cannot be replayed: line 1: it is not a benchcom port trace: its first "
              "line is \"hello\"\n");
}

}  // namespace
}  // namespace bc
