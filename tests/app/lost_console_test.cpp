// The console going away: a pipe whose reader has had enough, a terminal
// that hung up. A capture under way completes its files (its console lines
// are dropped) and the tool ends as it lets go; everything else ends at
// once.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/interrupt.h"
#include "platform/runtime.h"
#include "platform/win32_api.h"
#include "scope/single_capture.h"
#include "tests/support/capture.h"
#include "tests/support/process.h"
#include "tests/support/scope_fixture.h"

namespace bc {
namespace {

namespace fs = std::filesystem;
using test::Child;
using test::lines;
using test::readFile;

// Both files of a dual capture, whole: the CSV file's last sample row and
// end line, the chart script's 4009 lines up to sample 3999.
void expectWholeDualCapture(const fs::path& dir) {
    auto csv = lines(readFile((dir / "op_scope.csv").c_str()));
    auto js = lines(readFile((dir / "gbookFtemp.js").c_str()));
    ASSERT_GE(csv.size(), 4020u);
    EXPECT_EQ(csv[csv.size() - 4002], "Waveform Data,");
    EXPECT_EQ(csv.back(), "===========================");
    ASSERT_EQ(js.size(), 4009u);
    EXPECT_NE(js.back().find(",0,0,'3999');"), std::string::npos);
}

TEST(LostConsole, APipeClosedDuringACaptureLeavesItsFilesWhole) {
    test::ScratchDir s;
    Child child({"/bin/sh", "-c",
                 "cd " + s.dir.string() + " && exec " BENCHCOM_SIM_PATH " -- " BENCHCOM_RUN_PATH " scopePollDual"});
    // Its first few kilobytes come out once the capture has begun, and it
    // has some 300 KB more to print: more than the pipe holds.
    ASSERT_TRUE(child.waitForOutput("Polling waveform....\n", 10000));
    child.closeOutput();
    auto& r = child.finish();
    EXPECT_EQ(r.status, 128 + SIGPIPE) << r.err;
    expectWholeDualCapture(s.dir);
}

// A hang-up while the capture asks for its settings, its file begun: in a
// child process, as the handlers are the process's for good.
TEST(LostConsole, AHangUpDuringACaptureLeavesItsFileWhole) {
    test::InScratchDir dir;
    EXPECT_EXIT(
        {
            endCleanlyOnInterrupt();
            test::ScopeBench s;
            s.bench.clock.stopAt = s.bench.now() + 1000;
            s.bench.clock.onStop = [] { raise(SIGHUP); };
            try {
                scopeReadAquire(0, '1');
            } catch (const sim::ProcessExit& e) {
                std::exit(e.status);  // flushing and closing, as the tool's exit does
            }
            std::exit(0);
        },
        testing::ExitedWithCode(128 + SIGHUP), "");
    auto csv = lines(readFile("op_scope1.csv"));
    ASSERT_EQ(csv.size(), 4017u);
    EXPECT_EQ(csv.back(), "===========================");
}

// The main sequence would exercise the lines for 200 s more.
TEST(LostConsole, TheMainSequenceEndsWhenItsPipeIsClosed) {
    Child child({BENCHCOM_SIM_PATH, "--", BENCHCOM_PATH});
    child.closeOutput();
    EXPECT_EQ(child.finish().status, 128 + SIGPIPE);
}

}  // namespace
}  // namespace bc
