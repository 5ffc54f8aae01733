// The captures' per-sample lines, made by hand, are byte for byte what printf
// makes of the formats the captures have always written: for every value a
// 16-bit sample can take, in every conversion the lines use, the plot mark's
// field of (v + 128) / 2 columns included (negative below -128, which
// left-aligns the mark).
#include "scope/sample_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "scope/console_batch.h"
#include "scope/dual_files.h"
#include "scope/waveform_block.h"
#include "tests/support/capture.h"

namespace bc {
namespace {

// Whether one of the routines, given the room its header promises, writes
// what printf makes of a format: in buffers made once, as clearing or copying
// 16 KB for each of the half million rows would take longer than the rows.
template <typename F, typename... Args>
bool same(F put, const char* format, Args... args) {
    static std::vector<char> byPrintf(plotRowMost + 1), byHand(plotRowMost);
    const int n = snprintf(byPrintf.data(), byPrintf.size(), format, args...);
    const char* end = put(byHand.data());
    return n >= 0 && end - byHand.data() == n && memcmp(byPrintf.data(), byHand.data(), size_t(n)) == 0;
}

// The length of what a routine writes.
template <typename F>
size_t length(F put) {
    static std::vector<char> text(plotRowMost);
    return size_t(put(text.data()) - text.data());
}

// Every value of a 16-bit sample, and with it a partner that also runs
// through every value (for the lines with two samples) and a byte offset and
// sample number in the capture's ranges.
template <typename F>
void forEverySample(F check) {
    for (int v = -32768; v <= 32767; ++v) check(v, -1 - v, 2 * ((v + 32768) % 4000), (v + 32768) % 4000);
}

TEST(SampleText, DecimalFieldsMatchPrintfForEverySampleValue) {
    int wrong = 0;
    forEverySample([&](int v, int, int, int) {
        wrong += !same([&](char* at) { return putDecimal(at, v, 0); }, "%d", v);
        wrong += !same([&](char* at) { return putDecimal(at, v, 3); }, "%3d", v);
        wrong += !same([&](char* at) { return putDecimal(at, v, 5); }, "%5d", v);
        wrong += !same([&](char* at) { return putDecimal(at, v, -7); }, "%-7d", v);
    });
    EXPECT_EQ(wrong, 0);
    // The ends of int, which no sample reaches but the routine promises.
    for (int v : {INT_MIN, INT_MIN + 1, -100000, 99999, 100000, INT_MAX}) {
        EXPECT_TRUE(same([&](char* at) { return putDecimal(at, v, 0); }, "%d", v)) << v;
        EXPECT_TRUE(same([&](char* at) { return putDecimal(at, v, 12); }, "%12d", v)) << v;
        EXPECT_TRUE(same([&](char* at) { return putDecimal(at, v, -12); }, "%-12d", v)) << v;
    }
}

TEST(SampleText, PlotRowsMatchPrintfForEverySampleValue) {
    int wrong = 0;
    forEverySample([&](int v, int other, int k, int) {
        wrong += !same([&](char* at) { return putPlotRow(at, k, v); }, "%5d,%3d,%*d\n", k, v, plotWidth(v), 1);
        wrong += !same([&](char* at) { return putDualPlotRow(at, k, v, other); }, "%5d,%3d,%3d,%*d\n", k, v, other,
                       plotWidth(v), 1);
    });
    EXPECT_EQ(wrong, 0);
    // 32767 plots its mark at column 16447: the room the batch keeps for a
    // row holds that row, and the widest any int offset can head.
    EXPECT_GT(length([](char* at) { return putDualPlotRow(at, 7998, 32767, -32768); }), size_t(16447));
    EXPECT_LE(length([](char* at) { return putDualPlotRow(at, INT_MIN, 32767, -32768); }), plotRowMost);
}

TEST(SampleText, CsvRowsAndChartCallsMatchPrintfForEverySampleValue) {
    int wrong = 0;
    forEverySample([&](int v, int other, int, int n) {
        wrong += !same([&](char* at) { return putCsvRow(at, v); }, "%3d,\n", v);
        wrong += !same([&](char* at) { return putDualCsvRow(at, v, other); }, "%3d,%3d\n", v, other);
        wrong += !same([&](char* at) { return putChartCall(at, v, other, n); },
                       "gbF( 'vornel','%s','Sun Feb  22 10:30:47 UTC 2015 ','%s',%d,%d,0,0,'%d');\n", chartUserAtHost,
                       chartHostAddress, v, other, n);
    });
    EXPECT_EQ(wrong, 0);
    EXPECT_LE(length([](char* at) { return putChartCall(at, INT_MIN, INT_MIN, INT_MIN); }), chartCallMost);
}

// Rows placed with batchRoom come out whole and in order, across the batch's
// 4 KB edge and with the widest rows a sample can make between ordinary ones.
TEST(SampleText, BatchedPlotRowsComeOutInOrder) {
    const int samples[] = {0, 127, -128, 32767, 55, -32768, -129, 5000, -1};
    std::vector<char> row(plotRowMost + 1);
    std::string expected;
    test::StdoutCapture capture;
    ConsoleBatch batch;
    batch.used = 0;
    for (int round = 0; round < 300; ++round)
        for (int v : samples) {
            batchTake(batch, putDualPlotRow(batchRoom(batch), round, v, -v));
            const int n = snprintf(row.data(), row.size(), "%5d,%3d,%3d,%*d\n", round, v, -v, plotWidth(v), 1);
            expected.append(row.data(), size_t(n));
        }
    batchFlush(batch);
    const std::string out = capture.take();
    EXPECT_EQ(out.size(), expected.size());
    EXPECT_TRUE(out == expected);  // not printed on failure: megabytes of spaces
}

}  // namespace
}  // namespace bc
