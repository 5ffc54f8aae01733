// Captures whose files cannot be written whole. The console output is
// exactly that of a good capture, the other file is complete, and the file
// that failed is named once on standard error with the system's reason. In
// process on a file that takes no bytes (a device node like /dev/full:
// every write fails with ENOSPC; a device is written as it is, a link to one
// would be replaced), and as a person meets it: benchcom-run under a
// file-size limit, where the file not written whole is not put in place and
// the earlier one stays.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

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
        // The device numbers of /dev/full; making the node takes CAP_MKNOD.
        if (mknod(c.failing, S_IFCHR | 0666, makedev(1, 7)) != 0) GTEST_SKIP() << "cannot make a device node here";
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
// counts kilobytes.) The chart script cut short is not put in place: the
// one of an earlier capture stays as it was, and the cut one is removed.
TEST(CaptureFailure, TheRunToolUnderAFileSizeLimitSaysWhichFileAndEndsWithThree) {
    test::ScratchDir scratch;
    const fs::path& dir = scratch.dir;
    const std::string earlier = "an earlier capture's chart script\n";
    std::ofstream(dir / "gbookFtemp.js") << earlier;
    auto r = test::run({"/bin/bash", "-c",
                        "cd " + dir.string() +
                            " && ulimit -f 64 && exec " BENCHCOM_SIM_PATH " -- " BENCHCOM_RUN_PATH " scopePollDual"});
    EXPECT_EQ(r.status, 3);
    // The chart script (some 380 KB) stops at the limit; the CSV file fits.
    EXPECT_EQ(r.err, "capture file ./gbookFtemp.js could not be written whole: File too large\n");
    EXPECT_EQ(readFile((dir / "gbookFtemp.js").c_str()), earlier);
    EXPECT_TRUE(readFile((dir / "op_scope.csv").c_str()).ends_with("\n===========================\n"));
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"gbookFtemp.js", "op_scope.csv"}));
    EXPECT_NE(r.out.find("\n 7998,"), std::string::npos);  // the last plot row
    EXPECT_TRUE(r.out.ends_with("\n\n0\n"));
}

}  // namespace
}  // namespace bc
