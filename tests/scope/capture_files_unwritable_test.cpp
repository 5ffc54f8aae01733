// Captures whose files cannot be written whole. The console output is
// exactly that of a good capture, the other file is complete, and the file
// that failed is named once on standard error with the system's reason. In
// process on a file that takes no bytes (/dev/full: every write fails with
// ENOSPC), and as a person meets it: benchcom-run under a file-size limit.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "scope/capture_file.h"
#include "scope/dual_capture.h"
#include "scope/scope_interface.h"
#include "scope/single_capture.h"
#include "tests/support/process.h"
#include "tests/support/scope_fixture.h"

namespace bc {
namespace {

namespace fs = std::filesystem;
using test::InScratchDir;
using test::readFile;
using test::ScopeBench;
using test::StdoutCapture;

struct Capture {
    const char* name;
    std::function<void()> run;
    const char* failing;  // the file made to take no bytes
    const char* other;    // a file that must still be whole ("" for none)
};

TEST(CaptureFailure, AFileThatTakesNoBytesIsNamedOnceAndChangesNothingElse) {
    const Capture captures[] = {
        {"dual", [] { scopeReadDual(0, scopeChannel1); }, "op_scope.csv", "gbookFtemp.js"},
        {"dual, chart script", [] { scopeReadDual(0, scopeChannel1); }, "gbookFtemp.js", "op_scope.csv"},
        {"single", [] { scopeReadAquire(0, '2'); }, "op_scope2.csv", ""},
    };
    for (const Capture& c : captures) {
        std::string goodConsole, goodOther;
        {
            InScratchDir dir;
            ScopeBench s;
            StdoutCapture out;
            c.run();
            goodConsole = out.take();
            if (*c.other) goodOther = readFile(c.other);
        }
        InScratchDir dir;
        fs::create_symlink("/dev/full", c.failing);
        ScopeBench s;
        captureFileFailed = false;
        testing::internal::CaptureStderr();
        StdoutCapture out;
        c.run();
        const std::string console = out.take();
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  std::string("capture file ./") + c.failing + " could not be written whole: No space left on device\n")
            << c.name;
        EXPECT_TRUE(captureFileFailed) << c.name;
        EXPECT_EQ(console.size(), goodConsole.size()) << c.name;
        EXPECT_TRUE(console == goodConsole) << c.name;
        if (*c.other) {
            EXPECT_TRUE(readFile(c.other) == goodOther) << c.name;
        }
    }
}

// Past the limit a write fails with EFBIG, unless SIGXFSZ kills the writer
// first: the tool must ignore it to say what happened. (bash's ulimit -f
// counts kilobytes.)
TEST(CaptureFailure, TheRunToolUnderAFileSizeLimitSaysWhichFileAndEndsWithThree) {
    test::ScratchDir scratch;
    const fs::path& dir = scratch.dir;
    auto r = test::run({"/bin/bash", "-c",
                        "cd " + dir.string() +
                            " && ulimit -f 64 && exec " BENCHCOM_SIM_PATH " -- " BENCHCOM_RUN_PATH " scopePollDual"});
    EXPECT_EQ(r.status, 3);
    // The chart script (some 380 KB) stops at the limit; the CSV file fits.
    EXPECT_EQ(r.err, "capture file ./gbookFtemp.js could not be written whole: File too large\n");
    EXPECT_EQ(fs::file_size(dir / "gbookFtemp.js"), 64u * 1024);
    EXPECT_TRUE(readFile((dir / "op_scope.csv").c_str()).ends_with("\n===========================\n"));
    EXPECT_NE(r.out.find("\n 7998,"), std::string::npos);  // the last plot row
    EXPECT_TRUE(r.out.ends_with("\n\n0\n"));
}

}  // namespace
}  // namespace bc
