#include "scope/command_channel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/support/scope_fixture.h"

namespace bc {
namespace {

using test::lines;
using test::ScopeBench;
using test::StdoutCapture;

const std::string kSeparator = "\n\n==============================================\n\r";

std::vector<std::string> traces(const std::string& out) { return lines(out); }

TEST(ScopeSendCmd, PrintsSeparatorAndTraceAndSendsTheCommandAsItIs) {
    ScopeBench s;
    StdoutCapture out;
    ScopeSendCmd(7, "*RST\r");
    EXPECT_EQ(out.take(), kSeparator + "\n\r ScopeSendCmd: *RST\r \n\r");
    EXPECT_EQ(std::string(s.bench.port.received.begin(), s.bench.port.received.end()), "*RST\r");
    EXPECT_EQ(s.model.resets, 1);
}

struct CountRdRun {
    DWORD got;
    std::vector<std::string> trace;
    int64_t elapsed;
};

CountRdRun countRd(ScopeBench& s, unsigned char* buffer, DWORD wanted) {
    StdoutCapture out;
    const int64_t start = s.bench.now();
    DWORD got = count_rd(0, "", buffer, wanted);
    return {got, traces(out.take()), s.bench.now() - start};
}

TEST(CountRd, CollectsPiecesArrivingInThreeReadsWithoutAFurtherRead) {
    ScopeBench s;
    const int64_t t = s.bench.now();
    s.bench.port.send("ABCD", t + 10);
    s.bench.port.send("EFGH", t + 150);  // after the first read's 100 ms gap
    s.bench.port.send("IJ", t + 300);
    unsigned char buffer[12];
    memset(buffer, '#', sizeof buffer);
    CountRdRun run = countRd(s, buffer, 10);
    EXPECT_EQ(run.got, 10u);
    EXPECT_EQ(run.trace, (std::vector<std::string>{"count_rd: 4 countGot: 4 want: 10 loop: 2",
                                                   "count_rd: 4 countGot: 8 want: 10 loop: 2",
                                                   "count_rd: 2 countGot: 10 want: 10 loop: 2"}));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 12), "ABCDEFGHIJ##");
    EXPECT_EQ(run.elapsed, 300);  // returned as the last byte came
}

TEST(CountRd, AnEmptyReadLowersTheTryCounterForTheRestOfTheCall) {
    {
        ScopeBench s;
        const int64_t t = s.bench.now();
        s.bench.port.send("ABCD", t + 10);
        s.bench.port.send("EFGHIJ", t + 250);  // after one whole empty read
        unsigned char buffer[10];
        CountRdRun run = countRd(s, buffer, 10);
        EXPECT_EQ(run.got, 10u);
        EXPECT_EQ(run.trace, (std::vector<std::string>{"count_rd: 4 countGot: 4 want: 10 loop: 2",
                                                       "count_rd: 0 countGot: 4 want: 10 loop: 1",
                                                       "count_rd: 6 countGot: 10 want: 10 loop: 1"}));
    }
    {
        // Data after the empty read does not restore the counter: the next
        // empty read ends the call short.
        ScopeBench s;
        const int64_t t = s.bench.now();
        s.bench.port.send("ABCD", t + 10);
        s.bench.port.send("EFG", t + 250);
        unsigned char buffer[10];
        CountRdRun run = countRd(s, buffer, 10);
        EXPECT_EQ(run.got, 7u);
        EXPECT_EQ(run.trace,
                  (std::vector<std::string>{
                      "count_rd: 4 countGot: 4 want: 10 loop: 2", "count_rd: 0 countGot: 4 want: 10 loop: 1",
                      "count_rd: 3 countGot: 7 want: 10 loop: 1", "count_rd: 0 countGot: 7 want: 10 loop: 0"}));
    }
}

TEST(CountRd, ZeroWantedAndNoReplyEndAfterTwoEmptyReads) {
    ScopeBench s;
    unsigned char buffer[100];
    CountRdRun zero = countRd(s, buffer, 0);
    EXPECT_EQ(zero.got, 0u);
    EXPECT_EQ(zero.trace, (std::vector<std::string>{"count_rd: 0 countGot: 0 want: 0 loop: 1",
                                                    "count_rd: 0 countGot: 0 want: 0 loop: 0"}));
    CountRdRun none = countRd(s, buffer, 100);
    EXPECT_EQ(none.got, 0u);
    EXPECT_EQ(none.trace, (std::vector<std::string>{"count_rd: 0 countGot: 0 want: 100 loop: 1",
                                                    "count_rd: 0 countGot: 0 want: 100 loop: 0"}));
    EXPECT_EQ(none.elapsed, 2 * (100 + 100));  // each read's total time-out
}

struct QueryRun {
    float value;
    std::string out;
    int64_t elapsed;
};

QueryRun query(ScopeBench& s, const char* text) {
    StdoutCapture out;
    const int64_t start = s.bench.now();
    float v = scopeQueryValue(0, text);
    return {v, out.take(), s.bench.now() - start};
}

TEST(ScopeQueryValue, ReadsTheNumberAtTheStartOfTheReply) {
    ScopeBench s;
    s.model.settings.triggerLevel = 2.0f;
    QueryRun run = query(s, ":TRIG:LEV?\n");
    EXPECT_EQ(run.value, 2.0f);
    EXPECT_EQ(run.out, kSeparator + "\n\r ScopeSendCmd: :TRIG:LEV?\n \n\r" + "   11,2.000000E+00, 2.000e+00\n\n");
    // 600 ms before the one read, which ends 100 ms after the reply.
    EXPECT_GE(run.elapsed, 700);
    EXPECT_LE(run.elapsed, 710);
    EXPECT_EQ(iQueryBytesRead, 11u);
}

TEST(ScopeQueryValue, AnIdentityTextReadsAsZeroAndIsPrintedWhole) {
    ScopeBench s;
    s.model.identity = "ACME,DSO-1,42,V1.26";
    QueryRun run = query(s, "*idn?\r");
    EXPECT_EQ(run.value, 0.0f);
    EXPECT_NE(run.out.find("   20,0.000000E+00,ACME,DSO-1,42,V1.26\n\n"), std::string::npos);
}

TEST(ScopeQueryValue, NoReplyPrintsZeroCountAndEmptyText) {
    ScopeBench s(false);
    QueryRun run = query(s, ":TIM:SCAL?\n");
    EXPECT_EQ(run.value, 0.0f);
    EXPECT_EQ(run.out, kSeparator + "\n\r ScopeSendCmd: :TIM:SCAL?\n \n\r" + "    0,0.000000E+00,\n");
    EXPECT_GE(run.elapsed, 600 + 100 + 999);
    EXPECT_LE(run.elapsed, 600 + 100 + 999 + 10);
}

TEST(ScopeQueryValue, AReplyLongerThan999BytesLeavesItsTailForTheNextRead) {
    ScopeBench s;
    const std::string tail(201, 'x');
    s.model.cannedReplies[":TIM:SCAL?"] = " 1.000e+00" + std::string(989, ' ') + tail;
    s.model.settings.timebaseDelay = 5e-6f;
    QueryRun first = query(s, ":TIM:SCAL?\n");
    EXPECT_EQ(first.value, 1.0f);
    EXPECT_EQ(iQueryBytesRead, 999u);
    QueryRun second = query(s, ":TIM:DEL?\n");
    EXPECT_EQ(second.value, 0.0f);  // the tail comes first and is no number
    EXPECT_NE(second.out.find("  212,0.000000E+00," + tail + " 5.000e-06\n"), std::string::npos);
}

TEST(ScopeQueryValue, NumbersBeyondFloatRangeAndGarbageAreReadSoundly) {
    ScopeBench s;
    s.model.cannedReplies[":CHAN1:SCAL?"] = " 1e999\n";
    EXPECT_EQ(query(s, ":CHAN1:SCAL?\n").value, INFINITY);
    s.model.faults.garbageBefore = "\xff\x01?";
    QueryRun garbage = query(s, ":CHAN1:OFFS?\n");
    EXPECT_EQ(garbage.value, 0.0f);
    EXPECT_NE(garbage.out.find("   14,0.000000E+00,\xff\x01? 2.000e+00\n"), std::string::npos);
}

}  // namespace
}  // namespace bc
