// delayMs: the busy-wait that paces every device routine, counted in the
// clock's milliseconds.
#include <gtest/gtest.h>

#include <climits>

#include "platform/delay.h"
#include "testkit/seam_harness.h"

namespace bc {
namespace {

TEST(DelayMs, WaitsTheGivenTicks) {
    sim::SeamHarness bench;
    int64_t start = bench.now();
    delayMs(600);
    EXPECT_GE(bench.now() - start, 600);
    EXPECT_LE(bench.now() - start, 602);
}

// Nothing to wait for: back at once, and a most negative count must not
// wrap round into a wait of weeks. (Every reading of the virtual clock
// moves it on by a tick, so "at once" is a tick or two.)
TEST(DelayMs, ZeroOrNegativeReturnsAtOnce) {
    sim::SeamHarness bench;
    for (int ticks : {0, -1, -5000, INT_MIN}) {
        int64_t start = bench.now();
        delayMs(ticks);
        EXPECT_LE(bench.now() - start, 2) << ticks;
    }
}

TEST(DelayMs, WaitsInFullWhereTheTargetPassesThirtyTwoBits) {
    sim::SeamHarness bench;
    bench.clock.advanceTo(int64_t(INT_MAX) - 10);
    int64_t start = bench.now();
    delayMs(1000);
    EXPECT_GE(bench.now() - start, 1000);
    EXPECT_LE(bench.now() - start, 1002);
}

}  // namespace
}  // namespace bc
