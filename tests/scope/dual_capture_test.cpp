#include "scope/dual_capture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "scope/dual_files.h"
#include "tests/support/process.h"
#include "tests/support/scope_fixture.h"

namespace bc {
namespace {

using test::fmt;
using test::InScratchDir;
using test::lines;
using test::readFile;
using test::ScopeBench;
using test::StdoutCapture;

const char kEnd[] = "===========================\n";

std::string learnAsRead(const sim::ScopeModel& m) { return (m.learnString() + "\n").substr(0, 700); }

// The head of the CSV file for the settings setUnusualSettings gives, down to
// "Waveform Data": channel 1's probe (100X), both channels' scales and
// positions, the window timebase of 10 us a division, so 25 ns a sample.
std::string expectedCsvHead(const char* source) {
    return std::string(
               "Memory Length,4000,\n"
               "Trigger Level,-2.500E-01,\n") +
           source +
           "Probe,100X,\n"
           "Vertical Units,V,\n"
           "Vertical Scale,1.000E+00,\n"
           "Vertical Position,-1.000E+00,\n"
           "Vertical2 Units,V,\n"
           "Vertical2 Scale,5.000E-01,\n"
           "Vertical2 Position,5.000E-01,\n"
           "Horizontal Units,s,\n"
           "Horizontal Scale,1.000E-05,\n"
           "Horizontal Position,-2.000E-06,\n"
           "Horizontal Mode,Window,\n"
           "Sampling Period,2.500E-08,\n"
           "Firmware, V1.26,\n"
           "Time, ,\n"
           "Mode,Fast,\n"
           "Waveform Data,\n";
}

std::string expectedCsv(const sim::ScopeModel& m, const char* source = "Source,CH1,\n") {
    std::string out = test::settingPerLine(learnAsRead(m)) + expectedCsvHead(source);
    for (size_t n = 0; n < 4000; ++n) out += fmt("%3d,%3d\n", int(m.lastSamples[0][n]), int(m.lastSamples[1][n]));
    return out + kEnd;
}

// The chart script for the settings setUnusualSettings gives.
std::string expectedChart(const sim::ScopeModel& m) {
    std::string out =
        "var Vertical1Units='V'\n"
        "var Vertical1Scale=        1\n"
        "var Vertical1Position=       -1\n"
        "var Vertical2Units='V'\n"
        "var Vertical2Scale=      0.5\n"
        "var Vertical2Position=      0.5\n"
        "var displayOffset1=-Vertical1Position*1.0/Vertical1Scale*50.0\n"
        "var displayOffset2=+Vertical2Position*1.0/Vertical2Scale*50.0\n"
        "timeInterval=2.500000e-08\n";
    for (size_t n = 0; n < 4000; ++n)
        out += "gbF( 'vornel','bench@benchcom','Sun Feb  22 10:30:47 UTC 2015 ','127.0.0.1'," +
               std::to_string(m.lastSamples[0][n]) + "," + std::to_string(m.lastSamples[1][n]) + ",0,0,'" +
               std::to_string(n) + "');\n";
    return out;
}

std::string capture(int channel) {
    StdoutCapture out;
    scopeReadDual(0, channel);
    return out.take();
}
void setUnusualSettings(sim::ScopeModel& m) {
    m.settings.triggerLevel = -0.25f;
    m.settings.channel[0] = {1, 0, 0, 0, -1.0f, 2, 1.0f};
    m.settings.channel[1] = {1, 0, 0, 1, 0.5f, 0, 0.5f};
    m.settings.timebaseScale = 1e-5f;
    m.settings.timebaseDelay = -2e-6f;
    m.settings.sweep = 1;
    m.settings.running = false;  // one frozen acquisition, fetched alike each time
}

TEST(ScopeReadDual, BothFilesFollowTheLearnStringAndTheBlocks) {
    InScratchDir dir;
    ScopeBench s;
    setUnusualSettings(s.model);
    const std::string out = capture('1');
    EXPECT_EQ(readFile("op_scope.csv"), expectedCsv(s.model));
    EXPECT_EQ(readFile("gbookFtemp.js"), expectedChart(s.model));
    EXPECT_EQ(lines(readFile("gbookFtemp.js")).size(), 4009u);
    EXPECT_EQ(s.heard(), (std::vector<std::string>{"*LRN?", ":acquire1:memory?", ":acquire2:memory?"}));
    // The learn reply is shorter than 700 bytes: its read ends after two empty reads.
    const int got = int(s.model.learnString().size()) + 1;
    EXPECT_NE(out.find(fmt("\rcount_rd: %d countGot: %d want: 700 loop: 2\n", got, got) +
                       fmt("count_rd: 0 countGot: %d want: 700 loop: 1\n", got) +
                       fmt("count_rd: 0 countGot: %d want: 700 loop: 0\n", got)),
              std::string::npos);

    std::string plot;
    for (size_t n = 0; n < 4000; ++n) {
        const int s1 = s.model.lastSamples[0][n], s2 = s.model.lastSamples[1][n];
        plot += (n % 16 == 0 ? "\n" : "") + fmt("%5d,%3d,%3d,%*d\n", int(2 * n), s1, s2, (s1 + 128) / 2, 1);
    }
    const double period = s.model.lastSamplingPeriod[0];
    const std::string tail = "count_rd: 8014 8014 \n" +
                             fmt("count_rd: 8014 8014 TimeInterval:%f %f \n", period, period) +
                             "tr1:T:# a:4 b: 8008 d:1 \ntr2:T:# a:4 b: 8008 d:2 \n\nchannel:1\nchannel:2" + plot + "\n";
    ASSERT_GE(out.size(), tail.size());
    EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
}

TEST(ScopeReadDual, SelectorTwoChangesOnlyTheSourceLine) {
    InScratchDir dir;
    ScopeBench s;
    setUnusualSettings(s.model);
    capture('1');
    const std::string csv1 = readFile("op_scope.csv"), js1 = readFile("gbookFtemp.js");
    capture('2');
    const std::string csv2 = readFile("op_scope.csv"), js2 = readFile("gbookFtemp.js");
    EXPECT_EQ(js1, js2);
    const auto a = lines(csv1), b = lines(csv2);
    ASSERT_EQ(a.size(), b.size());
    int differing = 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) {
            ++differing;
            EXPECT_EQ(a[i], "Source,CH1,");
            EXPECT_EQ(b[i], "Source,CH2,");
        }
    EXPECT_EQ(differing, 1);
    EXPECT_EQ(csv2, expectedCsv(s.model, "Source,CH2,\n"));  // still channel 1's probe: 100X
}

// Runs the chart script in node with a gbF that records its arguments, and
// returns what the script declared and every call, one line each.
std::vector<std::string> runChartInNode() {
    std::ofstream("harness.js") << R"(
const fs = require('fs');
const calls = [];
function gbF(...args) { calls.push(args); }
eval(fs.readFileSync('gbookFtemp.js', 'utf8'));
console.log([Vertical1Units, Vertical1Scale, Vertical1Position, Vertical2Units, Vertical2Scale,
             Vertical2Position, displayOffset1, displayOffset2, timeInterval].join('|'));
for (const a of calls) console.log(a.length + '|' + a.map(x => JSON.stringify(x)).join('|'));
)";
    const test::ProcessResult node = test::run({"/usr/bin/node", "harness.js"});
    return lines(node.out + node.err);
}

TEST(ScopeReadDual, TheChartScriptRunsInJavaScriptWithNineArgumentsPerSample) {
    if (!test::exists("/usr/bin/node")) GTEST_SKIP() << "node is not installed";
    InScratchDir dir;
    ScopeBench s;
    setUnusualSettings(s.model);
    capture('1');
    const auto out = runChartInNode();
    ASSERT_EQ(out.size(), 4001u) << (out.empty() ? "" : out[0]);
    // Scales and positions as given; the display offsets as the script's own
    // fixed expressions work them out: -(-1 V) / 1 V x 50.0 and +0.5 V / 0.5 V x 50.0.
    EXPECT_EQ(out[0], "V|1|-1|V|0.5|0.5|50|50|" + out[0].substr(out[0].rfind('|') + 1));
    const double period = s.model.lastSamplingPeriod[0];
    EXPECT_NEAR(std::stod(out[0].substr(out[0].rfind('|') + 1)), period, period * 1e-6);
    for (int n = 0; n < 4000; ++n) {
        const std::string want = "9|\"vornel\"|\"bench@benchcom\"|\"Sun Feb  22 10:30:47 UTC 2015 \"|\"127.0.0.1\"|" +
                                 std::to_string(s.model.lastSamples[0][size_t(n)]) + "|" +
                                 std::to_string(s.model.lastSamples[1][size_t(n)]) + "|0|0|\"" + std::to_string(n) +
                                 "\"";
        ASSERT_EQ(out[size_t(n + 1)], want);
    }
    for (const char* text : {chartUserAtHost, chartHostAddress}) EXPECT_EQ(strpbrk(text, "'\",\\"), nullptr);
}

TEST(ScopeReadDual, EitherFileMayFailAlone) {
    {
        InScratchDir dir;
        dir.block("op_scope.csv");
        ScopeBench s;
        setUnusualSettings(s.model);
        const std::string out = capture('1');
        EXPECT_EQ(readFile("gbookFtemp.js"), expectedChart(s.model));
        // The learn string goes to the console instead.
        EXPECT_NE(out.find(test::settingPerLine(learnAsRead(s.model)) + "count_rd: 8014 8014 \n"), std::string::npos);
    }
    {
        InScratchDir dir;
        dir.block("gbookFtemp.js");
        ScopeBench s;
        setUnusualSettings(s.model);
        const std::string out = capture('1');
        EXPECT_EQ(readFile("op_scope.csv"), expectedCsv(s.model));
        EXPECT_EQ(out.find("gbF"), std::string::npos);
        EXPECT_EQ(out.find("Vertical"), std::string::npos);
    }
}

TEST(ScopeReadDual, ALearnReplyBeyond700BytesIsDrainedAndTheBlocksStayAligned) {
    InScratchDir dir;
    ScopeBench s;
    setUnusualSettings(s.model);
    s.model.faults.learnPadTo = 950;
    const int length = int(s.model.learnString().size()) + 1;
    ASSERT_GT(length, 950);
    const std::string out = capture('1');
    EXPECT_EQ(readFile("op_scope.csv"), expectedCsv(s.model));  // samples unshifted
    const std::string dropLine = fmt("learn reply filled 700 bytes, %d further bytes dropped\n", length - 700);
    const size_t drop = out.find(dropLine);
    ASSERT_NE(drop, std::string::npos);
    EXPECT_LT(drop, out.find("ScopeSendCmd: :acquire1:memory?"));
    EXPECT_EQ(out.find(dropLine, drop + 1), std::string::npos);
}

TEST(ScopeReadDual, ADeviceThatNeverStopsTalkingIsGivenUpOnAfter64KiB) {
    InScratchDir dir;
    ScopeBench s;
    s.model.faults.learnPadTo = 1 << 20;
    const std::string out = capture('1');
    int dropped = -1;
    const size_t at = out.find("learn reply filled 700 bytes, ");
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(sscanf(out.c_str() + at, "learn reply filled 700 bytes, %d further", &dropped), 1);
    EXPECT_GE(dropped, 64 * 1024);
    EXPECT_LT(dropped, 64 * 1024 + 256);
}

TEST(ScopeReadDual, OutOfTableSettingsAndShortBlocksAreHandledSoundly) {
    InScratchDir dir;
    ScopeBench s;
    std::string learn = s.model.learnString();
    learn.replace(learn.find("PROBe 0"), 7, "PROBe nan");
    learn.replace(learn.find("SWEep 0"), 7, "SWEep 1e999");
    s.model.cannedReplies["*LRN?"] = learn + "\n";
    s.model.faults.shortBlockBytes = 14 + 2 * 10;
    capture('1');
    const auto csv = lines(readFile("op_scope.csv"));
    EXPECT_NE(std::find(csv.begin(), csv.end(), "Probe,,"), csv.end());
    EXPECT_NE(std::find(csv.begin(), csv.end(), "Horizontal Mode,,"), csv.end());
    ASSERT_EQ(csv.back(), "===========================");
    EXPECT_EQ(csv[csv.size() - 2], "  0,  0");  // past the ten samples sent
    EXPECT_EQ(csv[csv.size() - 4001], fmt("%3d,%3d", int(s.model.lastSamples[0][0]), int(s.model.lastSamples[1][0])));
}

}  // namespace
}  // namespace bc
