// Learn strings an instrument should never send: 700 bytes with no ';' and
// no space, a ';' at the very end, two in a row, a zero byte inside, and
// values that are no ordinary numbers. Both the parser on its own and the
// dual capture that feeds it the instrument's reply are checked.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "scope/dual_capture.h"
#include "scope/learn_string.h"
#include "scope/scope_interface.h"
#include "tests/support/scope_fixture.h"

namespace bc {
namespace {

using test::fmt;
using test::InScratchDir;
using test::lines;
using test::readFile;
using test::ScopeBench;
using test::StdoutCapture;

std::string dumpToConsole(std::string text) {
    StdoutCapture out;
    lrnDump(nullptr, text.data());
    return out.take();
}

struct DualRun {
    std::string console;
    std::vector<std::string> csv;
    std::vector<std::string> js;
};

// The instrument answers "*LRN?" with exactly `learn`; everything else as usual.
DualRun captureWithLearnReply(ScopeBench& s, const std::string& learn) {
    s.model.cannedReplies["*LRN?"] = learn;
    StdoutCapture out;
    scopeReadDual(0, scopeChannel1);
    return {out.take(), lines(readFile("op_scope.csv")), lines(readFile("gbookFtemp.js"))};
}

// The CSV lines after the learn string: the 14 settings lines.
std::vector<std::string> settingsLines(const DualRun& run, size_t learnLines) {
    return std::vector<std::string>(run.csv.begin() + long(learnLines), run.csv.begin() + long(learnLines) + 14);
}

// The settings head of a learn string that names no setting: zeros, and the
// first entries of both label tables.
std::vector<std::string> zeroHead() {
    return {"Memory Length,4000,",
            "Trigger Level,0.000E+00,",
            "Source,CH1,",
            "Probe,1X,",
            "Vertical Units,V,",
            "Vertical Scale,0.000E+00,",
            "Vertical Position,0.000E+00,",
            "Vertical2 Units,V,",
            "Vertical2 Scale,0.000E+00,",
            "Vertical2 Position,0.000E+00,",
            "Horizontal Units,s,",
            "Horizontal Scale,0.000E+00,",
            "Horizontal Position,0.000E+00,",
            "Horizontal Mode,Main,"};
}

void expectSamplesOf(const ScopeBench& s, const DualRun& run) {
    ASSERT_GE(run.csv.size(), 4001u);
    EXPECT_EQ(run.csv.back(), "===========================");
    for (size_t n = 0; n < 4000; n += 999)
        EXPECT_EQ(run.csv[run.csv.size() - 4001 + n],
                  fmt("%3d,%3d", int(s.model.lastSamples[0][n]), int(s.model.lastSamples[1][n])));
    ASSERT_EQ(run.js.size(), 4009u);
}

// 700 bytes of settings run together: a full learn buffer with no ';' to
// split it and no space for a value to follow.
std::string runTogether700() {
    std::string text;
    while (text.size() < 700) text += ":CHANnel1:SCALe2.000e+00:TIMebase:SCALe2.500e-06";
    return text.substr(0, 700);
}

TEST(HostileLearnStrings, SevenHundredBytesWithoutSeparatorOrSpaceAreOneSettingWithNoValues) {
    const std::string text = runTogether700();
    EXPECT_EQ(lrnFindField(text.c_str(), ":CHANnel1", "SCAL"), nullptr);
    EXPECT_EQ(lrnFindField(text.c_str(), "", ""), nullptr);
    EXPECT_EQ(lrnGetFloat(text.c_str(), ":TIM", "SCAL"), 0.0f);
    EXPECT_EQ(dumpToConsole(text), text + "\n");

    InScratchDir dir;
    ScopeBench s;
    const DualRun run = captureWithLearnReply(s, text);
    // The read ends as the 700th byte comes; nothing follows to drop.
    EXPECT_NE(run.console.find("count_rd: 700 countGot: 700 want: 700 loop: 2\n"
                               "learn reply filled 700 bytes, 0 further bytes dropped\n"),
              std::string::npos);
    ASSERT_GT(run.csv.size(), 15u);
    EXPECT_EQ(run.csv[0], text);
    EXPECT_EQ(settingsLines(run, 1), zeroHead());
    EXPECT_EQ(run.js[1], "var Vertical1Scale=        0");
    expectSamplesOf(s, run);
}

TEST(HostileLearnStrings, EmptySettingsAtTheEndAndBetweenSeparatorsAreIndentedEmptyLines) {
    const std::string text = ":CHANnel1:SCALe 5.000e-01;;OFFSet -1.5e+00;";
    EXPECT_EQ(dumpToConsole(text), ":CHANnel1:SCALe 5.000e-01\n    \n    OFFSet -1.5e+00\n    \n");
    EXPECT_EQ(lrnGetFloat(text.c_str(), ":CHANnel1", "SCAL"), 0.5f);
    EXPECT_EQ(lrnGetFloat(text.c_str(), ":CHANnel1", "OFFS"), -1.5f);

    InScratchDir dir;
    ScopeBench s;
    const DualRun run = captureWithLearnReply(s, text);
    ASSERT_GT(run.csv.size(), 18u);
    EXPECT_EQ(std::vector<std::string>(run.csv.begin(), run.csv.begin() + 4),
              (std::vector<std::string>{":CHANnel1:SCALe 5.000e-01", "    ", "    OFFSet -1.5e+00", "    "}));
    EXPECT_EQ(run.csv[4], "Memory Length,4000,");
    EXPECT_EQ(run.csv[9], "Vertical Scale,5.000E-01,");
    EXPECT_EQ(run.csv[10], "Vertical Position,-1.500E+00,");
    EXPECT_EQ(run.js[2], "var Vertical1Position=     -1.5");
    expectSamplesOf(s, run);
}

TEST(HostileLearnStrings, AZeroByteEndsTheTextForTheParserButNotForTheRead) {
    const std::string text =
        std::string(":CHANnel1:SCALe 5.000e-01;PROBe 1\0", 34) + ";:CHANnel2:SCALe 2.0e+00;:TIMebase:SWEep 4";
    EXPECT_EQ(lrnGetFloat(text.c_str(), ":CHANnel1", "PROB"), 1.0f);
    EXPECT_EQ(lrnGetFloat(text.c_str(), ":CHANnel2", "SCAL"), 0.0f);
    EXPECT_EQ(dumpToConsole(text), ":CHANnel1:SCALe 5.000e-01\n    PROBe 1\n");

    InScratchDir dir;
    ScopeBench s;
    const DualRun run = captureWithLearnReply(s, text);
    // Every byte is read, the zero byte and what follows it included...
    EXPECT_NE(
        run.console.find(fmt("count_rd: %d countGot: %d want: 700 loop: 2\n", int(text.size()), int(text.size()))),
        std::string::npos);
    // ...but the settings end at the zero byte.
    ASSERT_GT(run.csv.size(), 16u);
    EXPECT_EQ(run.csv[0], ":CHANnel1:SCALe 5.000e-01");
    EXPECT_EQ(run.csv[1], "    PROBe 1");
    EXPECT_EQ(run.csv[2], "Memory Length,4000,");
    EXPECT_EQ(run.csv[5], "Probe,10X,");
    EXPECT_EQ(run.csv[7], "Vertical Scale,5.000E-01,");
    EXPECT_EQ(run.csv[10], "Vertical2 Scale,0.000E+00,");
    EXPECT_EQ(run.csv[15], "Horizontal Mode,Main,");
    expectSamplesOf(s, run);
}

// Settings whose values are no ordinary numbers: the lines show the values
// read, the labels the entries of the values' truncation (empty outside
// their tables), and the chart script the same values.
TEST(HostileLearnStrings, ValuesThatAreNoOrdinaryNumbersReachBothFilesAsRead) {
    const std::string text =
        ":TRIGger:LEVel nan;:CHANnel1:PROBe 2.99;SCALe inf;OFFSet -inf;"
        ":CHANnel2:SCALe 1e30;OFFSet -5;:TIMebase:SWEep 3.99;SCALe 1e-45;DELay 1e99";
    InScratchDir dir;
    ScopeBench s;
    const DualRun run = captureWithLearnReply(s, text);
    const auto E = [](float v) { return fmt("%9.3E", double(v)); };
    const std::vector<std::string> head = {"Memory Length,4000,",
                                           "Trigger Level," + E(NAN) + ",",
                                           "Source,CH1,",
                                           "Probe,100X,",
                                           "Vertical Units,V,",
                                           "Vertical Scale," + E(INFINITY) + ",",
                                           "Vertical Position," + E(-INFINITY) + ",",
                                           "Vertical2 Units,V,",
                                           "Vertical2 Scale," + E(1e30f) + ",",
                                           "Vertical2 Position," + E(-5.0f) + ",",
                                           "Horizontal Units,s,",
                                           "Horizontal Scale," + E(1e-45f) + ",",
                                           "Horizontal Position," + E(INFINITY) + ",",
                                           "Horizontal Mode,Roll,"};
    EXPECT_EQ(settingsLines(run, 9), head);
    const auto G = [](float v) { return fmt("%9G", double(v)); };
    EXPECT_EQ(std::vector<std::string>(run.js.begin() + 1, run.js.begin() + 6),
              (std::vector<std::string>{"var Vertical1Scale=" + G(INFINITY), "var Vertical1Position=" + G(-INFINITY),
                                        "var Vertical2Units='V'", "var Vertical2Scale=" + G(1e30f),
                                        "var Vertical2Position=" + G(-5.0f)}));
    expectSamplesOf(s, run);
}

// A value that starts as a number and then goes wrong reads as the number
// it starts with, on every runtime alike: "-0x" then no hex digit is -0,
// "infinite" is "inf" and more, "1e" with no exponent digits is 1. (The
// scanf family differs between runtimes here; glibc's gives 0 for the
// first two.) The fuzzer's first finding.
TEST(HostileLearnStrings, AMalformedNumberReadsAsTheNumberItStartsWith) {
    const std::string text = ":A:B -0xS;C infinite;D 1e;E -;F .";
    const float negativeZero = lrnGetFloat(text.c_str(), ":A", "B");
    EXPECT_EQ(negativeZero, 0.0f);
    EXPECT_TRUE(std::signbit(negativeZero));
    EXPECT_EQ(lrnGetFloat(text.c_str(), ":A", "C"), INFINITY);
    EXPECT_EQ(lrnGetFloat(text.c_str(), ":A", "D"), 1.0f);
    EXPECT_FALSE(std::signbit(lrnGetFloat(text.c_str(), ":A", "E")));  // no number at all: 0
    EXPECT_EQ(lrnGetFloat(text.c_str(), ":A", "F"), 0.0f);
}

}  // namespace
}  // namespace bc
