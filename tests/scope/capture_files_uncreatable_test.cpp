// Captures into a directory where their files cannot be created (each name
// taken by a directory: as root, permissions would not stop the tool). The
// console output is complete all the same: the learn string goes there in
// place of the CSV file, and every trace and plot row is printed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "scope/dual_capture.h"
#include "scope/scope_interface.h"
#include "scope/sequences.h"
#include "tests/support/process.h"
#include "tests/support/scope_fixture.h"

namespace bc {
namespace {

namespace fs = std::filesystem;
using test::fmt;
using test::InScratchDir;
using test::ScopeBench;
using test::StdoutCapture;

// The console plot of a dual capture: channel 1 drawn, both values shown.
std::string dualPlot(const sim::Samples& ch1, const sim::Samples& ch2) {
    std::string out;
    for (size_t n = 0; n < 4000; ++n) {
        if (n % 16 == 0) out += "\n";
        out += fmt("%5d,%3d,%3d,%*d\n", int(2 * n), int(ch1[n]), int(ch2[n]), (ch1[n] + 128) / 2, 1);
    }
    return out + "\n";
}

std::string singlePlot(const sim::Samples& samples) {
    std::string out;
    for (size_t n = 0; n < 4000; ++n) {
        if (n % 16 == 0) out += "\n";
        out += fmt("%5d,%3d,%*d\n", int(2 * n), int(samples[n]), (samples[n] + 128) / 2, 1);
    }
    return out + "\n";
}

bool emptyDirectory(const char* name) { return fs::is_directory(name) && fs::is_empty(name); }

TEST(HostileCaptureDir, ADualCaptureWithNeitherFilePrintsEverythingOnTheConsole) {
    InScratchDir dir;
    dir.block("op_scope.csv");
    dir.block("gbookFtemp.js");
    ScopeBench s;
    StdoutCapture out;
    scopeReadDual(0, scopeChannel1);
    const std::string console = out.take();
    const float p1 = s.model.lastSamplingPeriod[0], p2 = s.model.lastSamplingPeriod[1];
    const std::string learn = (s.model.learnString() + "\n").substr(0, scopeLearnMax);
    const std::string tail = test::settingPerLine(learn) + "count_rd: 8014 8014 \n" +
                             fmt("count_rd: 8014 8014 TimeInterval:%f %f \n", double(p1), double(p2)) +
                             "tr1:T:# a:4 b: 8008 d:1 \ntr2:T:# a:4 b: 8008 d:2 \n\nchannel:1\nchannel:2" +
                             dualPlot(s.model.lastSamples[0], s.model.lastSamples[1]);
    ASSERT_GE(console.size(), tail.size());
    EXPECT_EQ(console.substr(console.size() - tail.size()), tail);
    EXPECT_TRUE(emptyDirectory("op_scope.csv"));
    EXPECT_TRUE(emptyDirectory("gbookFtemp.js"));
}

TEST(HostileCaptureDir, BothSingleCapturesWithoutFilesAskNoSettingsAndPlotBothChannels) {
    InScratchDir dir;
    dir.block("op_scope1.csv");
    dir.block("op_scope2.csv");
    ScopeBench s;
    StdoutCapture out;
    EXPECT_EQ(scopePollWaveforms(0), 0);
    const std::string console = out.take();
    EXPECT_EQ(s.heard(), (std::vector<std::string>{"*idn?", "*lrn?", ":acquire1:memory?", ":acquire2:memory?"}));
    for (int ch : {0, 1}) {
        const std::string trace = fmt("count_rd: 8014 8014 \ncount_rd: 8014 8014 TimeInterval:%f\n"
                                      "# a: 4 b: 8008 d:%d \n\nchannel:%d",
                                      double(s.model.lastSamplingPeriod[ch]), ch + 1, ch + 1) +
                                  singlePlot(s.model.lastSamples[ch]);
        EXPECT_NE(console.find(trace), std::string::npos) << "channel " << ch + 1;
    }
    EXPECT_TRUE(emptyDirectory("op_scope1.csv"));
    EXPECT_TRUE(emptyDirectory("op_scope2.csv"));
}

// The real programs: benchcom-run on the simulated bench in such a
// directory prints its whole console output, names each file it could not
// create on standard error, and ends with status 3.
TEST(HostileCaptureDir, TheRunToolPrintsEverythingNamesBothFilesAndEndsWithThree) {
    test::ScratchDir scratch;
    const fs::path& dir = scratch.dir;
    fs::create_directory(dir / "op_scope.csv");
    fs::create_directory(dir / "gbookFtemp.js");
    auto r =
        test::run({"/bin/sh", "-c",
                   "cd " + dir.string() + " && exec " BENCHCOM_SIM_PATH " -- " BENCHCOM_RUN_PATH " scopePollDual"});
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_EQ(r.err,
              "capture file ./op_scope.csv could not be created: Is a directory\n"
              "capture file ./gbookFtemp.js could not be created: Is a directory\n");
    EXPECT_EQ(r.out.rfind(" serial port COM9 connect OK \n\rPolling waveform....\n", 0), 0u);
    EXPECT_NE(r.out.find("\n:DISPlay:WAVeform "), std::string::npos);  // the learn string, on the console
    EXPECT_NE(r.out.find("\ncount_rd: 8014 8014 \n"), std::string::npos);
    EXPECT_NE(r.out.find("\n 7998,"), std::string::npos);  // the last plot row
    EXPECT_TRUE(r.out.ends_with("\n\n0\n"));
    EXPECT_TRUE(fs::is_empty(dir / "op_scope.csv"));
}

}  // namespace
}  // namespace bc
