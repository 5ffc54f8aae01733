// A trace that cannot be written: said once on standard error, the run ends
// with 3, and nothing about it holds the routine up. Before, the writes to
// a full file failed silently and the run ended with 0, and a FIFO with no
// reader held the tool in its open for ever.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"

namespace bc {
namespace {

using test::Child;

const std::string kRun = BENCHCOM_RUN_PATH;
const std::string kVersionLines = " serial port COM9 connect OK \n\r iBytesWritten: 2 \nISS:5A-01:ver: 07 05 40 \n";

test::ProcessResult runTraced(const std::vector<std::string>& argv, const std::string& trace) {
    Child child(argv, {"BENCHCOM_PORT=sim", "BENCHCOM_TRACE=" + trace});
    return child.finish(30000);  // a run held up for ever is killed: 137
}

TEST(UnwritableTrace, AFullFileIsSaidOnceAndTheRunEndsWithThree) {
    const auto r = runTraced({kRun, "issVersion"}, "/dev/full");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, kVersionLines);
    EXPECT_EQ(r.err, "port trace /dev/full could not be written whole: No space left on device\n");
}

TEST(UnwritableTrace, AFifoNothingReadsIsRefusedAtOnce) {
    test::ScratchDir s;
    const std::string fifo = (s.dir / "trace.fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto r = runTraced({kRun, "issVersion"}, fifo);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, kVersionLines);
    EXPECT_EQ(r.err, "benchcom-run: cannot write the port trace " + fifo + ": it is a FIFO that nothing reads\n");
}

// The reader holds the FIFO open and reads nothing: once its pipe (cut to
// one page here) is full, the trace's writes fail instead of waiting, and
// the capture runs to its end with its files whole.
TEST(UnwritableTrace, AFifoWhoseReaderStopsDoesNotHoldTheCaptureUp) {
    test::ScratchDir s;
    const std::string fifo = (s.dir / "trace.fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    fcntl(reader, F_SETPIPE_SZ, 4096);
    const auto r = runTraced({"/bin/sh", "-c", "cd " + s.dir.string() + " && exec " + kRun + " scopePollDual"}, fifo);
    close(reader);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err,
              "port trace " + fifo + " could not be written whole: it is a FIFO whose reader does not keep up\n");
    EXPECT_TRUE(test::slurp(s.dir / "op_scope.csv").ends_with("\n===========================\n"));
    EXPECT_NE(r.out.find("\n 7998,"), std::string::npos);  // the last plot row
}

}  // namespace
}  // namespace bc
