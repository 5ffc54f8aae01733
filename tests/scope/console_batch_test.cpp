// Gathered console lines come out byte for byte as printf would have written
// them and in the same order: across the batch's edge, and for lines too
// wide for the batch (a hostile sample value of 32767 plots 16447 columns).
#include "scope/console_batch.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/capture.h"

namespace bc {
namespace {

// The plot row of "%5d,%*d\n" for a value, built without printf.
std::string plotRow(int k, int width) {
    std::string number = std::to_string(k);
    std::string row = std::string(number.size() < 5 ? 5 - number.size() : 0, ' ') + number + ",";
    if (width > 1)
        row += std::string(size_t(width - 1), ' ') + "1";
    else
        row += "1" + std::string(width < -1 ? size_t(-width - 1) : 0, ' ');
    return row + "\n";
}

TEST(ConsoleBatch, LinesComeOutWholeAndInOrderAcrossTheEdgeAndBeyondIt) {
    const int widths[] = {3, 5000, 64, -7, 16447, 1, 0, 40};
    std::string expected;
    test::StdoutCapture capture;
    ConsoleBatch batch;
    batch.used = 0;
    for (int round = 0; round < 200; ++round)
        for (int w : widths) {
            batchPrintf(batch, "%5d,%*d\n", round, w, 1);
            expected += plotRow(round, w);
        }
    batchPrintf(batch, "\n");
    batchFlush(batch);
    expected += "\n";
    const std::string out = capture.take();
    EXPECT_EQ(out.size(), expected.size());
    EXPECT_TRUE(out == expected);  // not printed on failure: megabytes of spaces
}

TEST(ConsoleBatch, NothingGoesOutUntilFlushedAndAFlushEmptiesTheBatch) {
    ConsoleBatch batch;
    batch.used = 0;
    {
        test::StdoutCapture capture;
        batchPrintf(batch, "%s", "held");
        fflush(stdout);
        EXPECT_EQ(capture.take(), "");
    }
    test::StdoutCapture capture;
    batchFlush(batch);
    batchFlush(batch);
    EXPECT_EQ(capture.take(), "held");
}

}  // namespace
}  // namespace bc
