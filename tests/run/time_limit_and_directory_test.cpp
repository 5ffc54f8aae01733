// benchcom-run --for SECONDS and -C DIR: an endless demonstration that a
// script can end, and captures that go where they are asked to.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"

namespace bc {
namespace {

using test::run;

const std::string kRun = BENCHCOM_RUN_PATH;
const std::string kSim = BENCHCOM_SIM_PATH;

// The panel demonstration runs until Ctrl-C; --for ends it as Ctrl-C would
// (its output flushed: the poll lines are there), with status 0. A wait of
// ten minutes under --for 1 ends well within the test's limit.
TEST(TimeLimit, EndsAnEndlessRoutineWithStatusZero) {
    auto r = run({kRun, "--for", "1", "panelKeyDemo"}, {"BENCHCOM_PORT=sim"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("keys: 00 00 00\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
    test::Child waiting({kRun, "--for=0.5", "wait", "600000"});
    EXPECT_EQ(waiting.finish(30000).status, 0);
    // With a silent adapter, the run's status is the one that tells.
    r = run({kSim, "--fault", "adapter-silent", "--", kRun, "--for", "1", "panelKeyDemo"});
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.err.find(" without a whole reply, the first in panelKeyDemo: adapter frame 55 "), std::string::npos)
        << r.err;
}

TEST(TimeLimit, ABadValueIsAUsageError) {
    for (const char* value : {"0", "-1", "x", "1e99", ""}) {
        auto r = run({kRun, "--for", value, "issVersion"}, {"BENCHCOM_PORT=sim"});
        EXPECT_EQ(r.status, 2) << value;
        EXPECT_EQ(r.out, "") << value;
        EXPECT_NE(r.err.find("--for takes a number of seconds above 0"), std::string::npos) << r.err;
    }
}

// -C DIR: the capture's files are written there, not where the run began.
TEST(RunDirectory, CapturesGoToTheDirectoryNamed) {
    test::ScratchDir here, there;
    auto r = run({"/bin/sh", "-c",
                  "cd " + here.dir.string() + " && exec " + kRun + " -C " + there.dir.string() + " scopePollDual"},
                 {"BENCHCOM_PORT=sim"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists(there.dir / "op_scope.csv"));
    EXPECT_TRUE(std::filesystem::exists(there.dir / "gbookFtemp.js"));
    EXPECT_TRUE(std::filesystem::is_empty(here.dir));
    r = run({kRun, "-C", (here.dir / "no-such").string(), "issVersion"}, {"BENCHCOM_PORT=sim"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("benchcom-run: cannot run in " + (here.dir / "no-such").string() + ": "), std::string::npos);
}

}  // namespace
}  // namespace bc
