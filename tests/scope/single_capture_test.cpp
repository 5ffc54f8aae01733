#include "scope/single_capture.h"

#include <gtest/gtest.h>

#include <cmath>

#include "scope/setting_labels.h"
#include "tests/support/scope_fixture.h"

namespace bc {
namespace {

using test::fmt;
using test::InScratchDir;
using test::lines;
using test::readFile;
using test::ScopeBench;
using test::StdoutCapture;

// The file for the settings setUnusualSettings gives and the last block of
// channel `ch` (0 or 1): the XY mode's timebase of 5 us a division, so
// 12.5 ns a sample.
std::string expectedCsv(const sim::ScopeModel& m, int ch) {
    std::string out = std::string(
                          "Memory Length,4000,\n"
                          "Trigger Level,5.000E-01,\n") +
                      (ch == 0 ? "Source,CH1,\n"
                                 "Probe,10X,\n"
                                 "Vertical Units,V,\n"
                                 "Vertical Scale,1.000E+00,\n"
                                 "Vertical Position,-5.000E-01,\n"
                               : "Source,CH2,\n"
                                 "Probe,100X,\n"
                                 "Vertical Units,V,\n"
                                 "Vertical Scale,5.000E-01,\n"
                                 "Vertical Position,2.500E-01,\n") +
                      "Horizontal Units,s,\n"
                      "Horizontal Scale,5.000E-06,\n"
                      "Horizontal Position,1.000E-05,\n"
                      "Horizontal Mode,XY,\n"
                      "Sampling Period,1.250E-08,\n"
                      "Firmware, V1.26,\n"
                      "Time, ,\n"
                      "Mode,Fast,\n"
                      "Waveform Data,\n";
    for (int v : m.lastSamples[ch]) out += fmt("%3d,\n", v);
    return out + "===========================\n";
}

// Console rows: an empty line before every 16th sample, then byte offset,
// value and a 1 in column (v + 128) / 2.
std::string expectedPlot(const sim::Samples& samples) {
    std::string out;
    for (int n = 0; n < 4000; ++n) {
        const int v = samples[size_t(n)];
        if (n % 16 == 0) out += "\n";
        out += fmt("%5d,%3d,%*d\n", 2 * n, v, (v + 128) / 2, 1);
    }
    return out + "\n";
}

std::string capture(ScopeBench&, int channel) {
    StdoutCapture out;
    scopeReadAquire(0, channel);
    return out.take();
}

void setUnusualSettings(sim::ScopeModel& m) {
    m.settings.triggerLevel = 0.5f;
    m.settings.channel[0] = {1, 0, 0, 0, -0.5f, 1, 1.0f};
    m.settings.channel[1] = {1, 0, 0, 1, 0.25f, 2, 0.5f};
    m.settings.timebaseScale = 5e-6f;
    m.settings.timebaseDelay = 1e-5f;
    m.settings.sweep = 4;
}

TEST(ScopeReadAquire, ChannelOneFileAndConsoleFollowTheInstrument) {
    InScratchDir dir;
    ScopeBench s;
    setUnusualSettings(s.model);
    const std::string out = capture(s, '1');
    const std::string file = readFile("op_scope1.csv");
    EXPECT_EQ(file, expectedCsv(s.model, 0));
    EXPECT_EQ(lines(file).size(), 4017u);
    EXPECT_FALSE(test::exists("op_scope2.csv"));
    EXPECT_EQ(s.heard(), (std::vector<std::string>{":acquire1:memory?", ":TRIG:LEV?", ":CHAN1:PROB?", ":CHAN1:SCAL?",
                                                   ":CHAN1:OFFS?", ":TIM:SCAL?", ":TIM:DEL?", ":TIM:SWE?"}));
    EXPECT_EQ(out.substr(0, 25), "scopeReadAquire(fd,\"1\");\n");
    const std::string tail = "count_rd: 8014 8014 \n" +
                             fmt("count_rd: 8014 8014 TimeInterval:%f\n", double(s.model.lastSamplingPeriod[0])) +
                             "# a: 4 b: 8008 d:1 \n\nchannel:1" + expectedPlot(s.model.lastSamples[0]);
    ASSERT_GE(out.size(), tail.size());
    EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
}

TEST(ScopeReadAquire, AnySelectorButOneCapturesChannelTwo) {
    for (int selector : {int('2'), int('x'), 0}) {
        InScratchDir dir;
        ScopeBench s;
        setUnusualSettings(s.model);
        const std::string out = capture(s, selector);
        EXPECT_EQ(readFile("op_scope2.csv"), expectedCsv(s.model, 1)) << selector;
        EXPECT_FALSE(test::exists("op_scope1.csv"));
        EXPECT_EQ(std::string(s.bench.port.received.begin(), s.bench.port.received.end()),
                  ":acquire2:memory?\r:TRIG:LEV?\n:CHAN2:PROB?\n:CHAN2:SCAL?\n:CHAN2:OFFS?\n"
                  ":TIM:SCAL?\n:TIM:DEL?\n:TIM:SWE?\n");
        EXPECT_EQ(out.substr(0, 25), "scopeReadAquire(fd,\"1\");\n");
        EXPECT_NE(out.find("# a: 4 b: 8008 d:2 \n\nchannel:2\n"), std::string::npos);
    }
}

TEST(ScopeReadAquire, PlotRowsAtWidthZeroAndNegativeWidths) {
    InScratchDir dir;
    ScopeBench s;
    s.model.cannedReplies[":ACQUIRE1:MEMORY?"] = test::makeBlock(1e-8f, 1, {-128, -129, -130, -200, 127, -32768});
    const auto rows = lines(capture(s, '1'));
    auto row = [&](const std::string& start) {
        for (const auto& r : rows)
            if (r.rfind(start, 0) == 0) return r;
        return std::string("missing");
    };
    EXPECT_EQ(row("    0,-128,"), "    0,-128,1");  // width 0
    EXPECT_EQ(row("    2,-129,"), "    2,-129,1");  // -1 / 2 truncates to 0
    EXPECT_EQ(row("    4,-130,"), "    4,-130,1");  // width -1: left-aligned in 1
    EXPECT_EQ(row("    6,-200,"), "    6,-200,1" + std::string(35, ' '));
    EXPECT_EQ(row("    8,127,"), "    8,127," + std::string(126, ' ') + "1");
    EXPECT_EQ(row("   10,-32768,"), "   10,-32768,1" + std::string(16319, ' '));
    EXPECT_EQ(row("   12,  0,"), "   12,  0," + std::string(63, ' ') + "1");
}

TEST(ScopeReadAquire, LabelsFollowTheTruncatedSettingAndStayEmptyOutsideTheirTables) {
    struct Case {
        const char* probeReply;
        const char* modeReply;
        const char* probe;
        const char* mode;
    };
    const Case cases[] = {
        {" 1.9\n", " 0\n", "10X", "Main"},  {" 3\n", " 4\n", "", "XY"},
        {" -0.5\n", " 4.99\n", "1X", "XY"}, {" -1\n", " 8\n", "", ""},
        {"nan\n", "-nan\n", "", ""},        {"inf\n", "-inf\n", "", ""},
        {" 1e30\n", " -3e9\n", "", ""},     {" 1e999\n", " 2147483648\n", "", ""},
    };
    for (const Case& c : cases) {
        InScratchDir dir;
        ScopeBench s;
        s.model.cannedReplies[":CHAN1:PROB?"] = c.probeReply;
        s.model.cannedReplies[":TIM:SWE?"] = c.modeReply;
        capture(s, '1');
        const auto file = lines(readFile("op_scope1.csv"));
        ASSERT_EQ(file.size(), 4017u);
        EXPECT_EQ(file[3], std::string("Probe,") + c.probe + ",") << c.probeReply;
        EXPECT_EQ(file[10], std::string("Horizontal Mode,") + c.mode + ",") << c.modeReply;
    }
    EXPECT_STREQ(settingLabel(probeLabels, probeLabelCount, std::nanf("")), "");
    EXPECT_STREQ(settingLabel(modeLabels, modeLabelCount, 7.5f), "");
    EXPECT_STREQ(settingLabel(modeLabels, modeLabelCount, 8.0f), "");
    EXPECT_STREQ(settingLabel(probeLabels, probeLabelCount, 2.99f), "100X");
}

TEST(ScopeReadAquire, UnopenableFileSendsNoQueriesButStillPlots) {
    InScratchDir dir;
    dir.block("op_scope1.csv");
    ScopeBench s;
    const std::string out = capture(s, '1');
    EXPECT_EQ(s.heard(), std::vector<std::string>{":acquire1:memory?"});
    EXPECT_NE(out.find("\nchannel:1" + expectedPlot(s.model.lastSamples[0])), std::string::npos);
}

TEST(ScopeReadAquire, WithoutInstrumentWritesZerosAndTheFirstLabels) {
    InScratchDir dir;
    ScopeBench s(false);
    const std::string out = capture(s, '1');
    std::string expected =
        "Memory Length,4000,\nTrigger Level,0.000E+00,\nSource,CH1,\nProbe,1X,\n"
        "Vertical Units,V,\nVertical Scale,0.000E+00,\nVertical Position,0.000E+00,\n"
        "Horizontal Units,s,\nHorizontal Scale,0.000E+00,\nHorizontal Position,0.000E+00,\n"
        "Horizontal Mode,Main,\n" +
        test::samplingHead(0.0f);
    for (int n = 0; n < 4000; ++n) expected += "  0,\n";
    EXPECT_EQ(readFile("op_scope1.csv"), expected + "===========================\n");
    // The cleared block: header characters and channel byte are zeros.
    EXPECT_NE(out.find("count_rd: 0 8014 \ncount_rd: 0 8014 TimeInterval:0.000000\n" +
                       std::string("\0 a: \0 b: \0\0\0\0 d:0 \n\nchannel:0\n", 29)),
              std::string::npos);
}

TEST(ScopeReadAquire, AShortBlockReadsZeroPastItsEnd) {
    InScratchDir dir;
    ScopeBench s;
    s.model.faults.shortBlockBytes = 14 + 2 * 100;
    capture(s, '1');
    const auto file = lines(readFile("op_scope1.csv"));
    ASSERT_EQ(file.size(), 4017u);
    for (int n = 0; n < 4000; ++n) {
        const std::string want = n < 100 ? fmt("%3d,", int(s.model.lastSamples[0][size_t(n)])) : "  0,";
        ASSERT_EQ(file[size_t(16 + n)], want) << n;
    }
}

}  // namespace
}  // namespace bc
