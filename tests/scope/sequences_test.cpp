#include "scope/sequences.h"

#include <gtest/gtest.h>

#include "tests/support/scope_fixture.h"

namespace bc {
namespace {

using test::InScratchDir;
using test::lines;
using test::ScopeBench;
using test::StdoutCapture;

const std::string kCapture1 =
    ":acquire1:memory?\r:TRIG:LEV?\n:CHAN1:PROB?\n:CHAN1:SCAL?\n:CHAN1:OFFS?\n:TIM:SCAL?\n:TIM:DEL?\n:TIM:SWE?\n";
const std::string kCapture2 =
    ":acquire2:memory?\r:TRIG:LEV?\n:CHAN2:PROB?\n:CHAN2:SCAL?\n:CHAN2:OFFS?\n:TIM:SCAL?\n:TIM:DEL?\n:TIM:SWE?\n";

// -3.0E-03 to -1.0E-04 in steps of 1.0E-04, then the step that misses zero,
// then 1.0E-04 to 9.0E-04.
std::vector<std::string> sweepValues() {
    std::vector<std::string> v;
    for (int i = 30; i >= 10; --i) v.push_back("-" + std::to_string(i / 10) + "." + std::to_string(i % 10) + "E-03");
    for (int i = 9; i >= 1; --i) v.push_back("-" + std::to_string(i) + ".0E-04");
    v.push_back("1.0E-10");
    for (int i = 1; i <= 9; ++i) v.push_back(std::to_string(i) + ".0E-04");
    return v;
}

std::string sent(const ScopeBench& s) {
    return std::string(s.bench.port.received.begin(), s.bench.port.received.end());
}

// Checks the time between each heard message and the next against the
// waits the sequence places there: 600 ms per wait, plus 700 ms for a query
// (its own 600 ms wait and the read ending 100 ms after the reply).
void expectGaps(const ScopeBench& s, size_t from, const std::vector<int64_t>& gaps) {
    ASSERT_GE(s.model.heard.size(), from + gaps.size() + 1);
    for (size_t i = 0; i < gaps.size(); ++i) {
        const int64_t gap = s.model.heard[from + i + 1].at - s.model.heard[from + i].at;
        EXPECT_GE(gap, gaps[i]) << "after " << s.model.heard[from + i].message;
        EXPECT_LE(gap, gaps[i] + 10) << "after " << s.model.heard[from + i].message;
    }
}

TEST(ScopeTestSequence, SendsEveryCommandInOrderAndSweepsTheDelayFortyTimes) {
    InScratchDir dir;
    ScopeBench s;
    StdoutCapture out;
    EXPECT_EQ(scopeTestSequence(0), 0);
    const std::string console = out.take();

    std::string sweep;
    for (const std::string& v : sweepValues()) sweep += ":TIM:DEL " + v + "\r\n";
    EXPECT_EQ(sent(s),
              "*RST\r:SYST:ERR?\r:AUT\r:SYST:ERR?\r:SYST:ERR?\r:chan2:inv 1\r*idn?\r*lrn?\r"
              ":TRIG:FREQ?\r:DISP:WAV 0\r:SINGLE\r" +
                  kCapture1 + kCapture2 + sweep);
    ASSERT_EQ(s.model.heard.size(), 11u + 8 + 8 + 40);
    EXPECT_EQ(s.model.heard[11 + 16 + 30].message, ":TIM:DEL 1.0E-10");
    EXPECT_EQ(s.model.heard.back().message, ":TIM:DEL 9.0E-04");

    // Steps 2 to 12, then the sweep's 600 ms after each command.
    expectGaps(s, 0, {600, 1300, 600, 1900, 1300, 600, 1300, 1300, 700, 0, 600});
    expectGaps(s, 27, std::vector<int64_t>(39, 600));

    EXPECT_EQ(console.substr(0, 13), "starting....\n");
    EXPECT_NE(console.find(":TIM:DEL    -0.0\r\n"), std::string::npos);
    EXPECT_NE(console.find("inc :TIM:DEL -2.9E-03\r\n"), std::string::npos);
    EXPECT_EQ(console.substr(console.size() - 22), "inc :TIM:DEL 1.0E-03\r\n");
    EXPECT_TRUE(test::exists("op_scope1.csv") && test::exists("op_scope2.csv"));
    // The instrument ends reset, auto-set, channel 2 inverted, stopped.
    EXPECT_EQ(s.model.resets, 1);
    EXPECT_EQ(s.model.autosets, 1);
    EXPECT_EQ(s.model.singles, 1);
    EXPECT_EQ(s.model.settings.channel[1].invert, 1);
    EXPECT_EQ(s.model.settings.displayWaveform, 0);
    EXPECT_FLOAT_EQ(s.model.settings.timebaseDelay, 9.0e-4f);
}

TEST(ScopeSetup, ResetsAutosetsAndAsksErrorIdentityAndLearnString) {
    ScopeBench s;
    StdoutCapture out;
    EXPECT_EQ(scopeSetup(0), 0);
    EXPECT_EQ(out.take().substr(0, 18), "Setting Scope....\n");
    EXPECT_EQ(sent(s), "*RST\r:AUT\r:SYST:ERR?\r*idn?\r*lrn?\r");
    expectGaps(s, 0, {600, 600, 700, 700});
}

TEST(ScopePollWaveforms, AsksIdentityAndLearnStringThenCapturesBothChannels) {
    InScratchDir dir;
    ScopeBench s;
    StdoutCapture out;
    EXPECT_EQ(scopePollWaveforms(0), 0);
    EXPECT_EQ(out.take().substr(0, 21), "Polling waveform....\n");
    EXPECT_EQ(sent(s), "*idn?\r*lrn?\r" + kCapture1 + kCapture2);
    EXPECT_TRUE(test::exists("op_scope1.csv") && test::exists("op_scope2.csv"));
}

TEST(ScopePollDual, CapturesBothChannelsInOneRun) {
    InScratchDir dir;
    ScopeBench s;
    StdoutCapture out;
    EXPECT_EQ(scopePollDual(0), 0);
    EXPECT_EQ(out.take().substr(0, 21), "Polling waveform....\n");
    EXPECT_EQ(sent(s), "*LRN?\r:acquire1:memory?\r:acquire2:memory?\r");
    EXPECT_NE(test::readFile("op_scope.csv").find("Source,CH1,\n"), std::string::npos);
    EXPECT_TRUE(test::exists("gbookFtemp.js"));
}

TEST(ScopeSequences, RunToTheirEndWithoutAnInstrument) {
    InScratchDir dir;
    ScopeBench s(false);
    StdoutCapture out;
    EXPECT_EQ(scopeSetup(0), 0);
    EXPECT_EQ(scopePollDual(0), 0);
    EXPECT_EQ(scopeTestSequence(0), 0);
    const std::string console = out.take();
    // Every query read nothing and printed a zero; the captures still wrote their files.
    size_t zeros = 0;
    for (size_t at = 0; (at = console.find("    0,0.000000E+00,\n", at)) != std::string::npos; ++at) ++zeros;
    EXPECT_EQ(zeros, 3u + 6u + 2u * 7u);
    EXPECT_EQ(lines(test::readFile("op_scope1.csv")).size(), 4017u);
    EXPECT_EQ(lines(test::readFile("op_scope2.csv")).size(), 4017u);
    EXPECT_EQ(sent(s).substr(sent(s).size() - 18), ":TIM:DEL 9.0E-04\r\n");
}

}  // namespace
}  // namespace bc
