// The programs started with standard output, error or input closed, as a
// shell's `>&-` leaves them: what they print must reach neither the port nor
// a capture file. Before, the first descriptor the tool opened took the
// place of the one missing, and " serial port COM9 connect OK" went down
// the serial line ahead of the adapter's frame.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"

namespace bc {
namespace {

const std::string kRun = BENCHCOM_RUN_PATH;
const std::string kSim = BENCHCOM_SIM_PATH;

std::string inDir(const test::ScratchDir& s, const std::string& command) {
    return "cd " + s.dir.string() + " && " + command;
}

// The adapter's version frame, 5A 01, is all the bench hears, whichever
// stream is missing; the reply still reaches the routine.
TEST(MissingStandardStreams, NothingPrintedGoesDownTheSerialLine) {
    for (const char* closed : {">&-", "2>&-", "<&-", ">&- 2>&- <&-"}) {
        test::ScratchDir s;
        const std::string routine = "exec " + kRun + " issVersion " + closed;
        const auto r = test::run({"/bin/sh", "-c", inDir(s, kSim + " --wire wire.bin -- sh -c '" + routine + "'")});
        EXPECT_EQ(r.status, 0) << closed;
        EXPECT_EQ(test::slurp(s.dir / "wire.bin"), "\x5A\x01") << closed;
    }
}

// A dual capture with standard output closed writes the same files as with
// it open; with standard error closed, a file it cannot create is said
// nowhere rather than inside the other file.
TEST(MissingStandardStreams, NothingPrintedGoesIntoACaptureFile) {
    test::ScratchDir open, closed, noError;
    const auto good =
        test::run({"/bin/sh", "-c", inDir(open, "exec " + kRun + " scopePollDual > /dev/null")}, {"BENCHCOM_PORT=sim"});
    ASSERT_EQ(good.status, 0);
    const auto r =
        test::run({"/bin/sh", "-c", inDir(closed, "exec " + kRun + " scopePollDual >&-")}, {"BENCHCOM_PORT=sim"});
    EXPECT_EQ(r.status, 0);
    for (const char* file : {"op_scope.csv", "gbookFtemp.js"}) {
        const std::string want = test::slurp(open.dir / file);
        EXPECT_GT(want.size(), 30000u) << file;
        EXPECT_TRUE(test::slurp(closed.dir / file) == want) << file;
    }

    std::filesystem::create_directory(noError.dir / "gbookFtemp.js");
    const auto e = test::run({"/bin/sh", "-c", inDir(noError, "exec " + kRun + " scopePollDual > /dev/null 2>&-")},
                             {"BENCHCOM_PORT=sim"});
    EXPECT_EQ(e.status, 3);
    EXPECT_TRUE(test::slurp(noError.dir / "op_scope.csv") == test::slurp(open.dir / "op_scope.csv"));
}

}  // namespace
}  // namespace bc
