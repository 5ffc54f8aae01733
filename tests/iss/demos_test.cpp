#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "iss/plot_device.h"
#include "iss/text_panel.h"
#include "tests/support/iss_fixture.h"

namespace bc {
namespace {

using test::Bytes;
using test::IssBench;
using test::lines;

using Lines = std::vector<std::string>;
using Panel = sim::TextPanelModel;

// Each pass of either demonstration lasts a little over the 600 ms wait.
constexpr int64_t kPassMs = 601;

Lines keyLines(const std::string& out) {
    Lines keys;
    for (const std::string& row : lines(out))
        if (row.rfind("keys: ", 0) == 0) keys.push_back(row);
    return keys;
}

std::string screenOf(const Lines& rows) {
    std::string s;
    for (const std::string& r : rows) s += r + "\n";
    return s;
}

const Lines kGreeting = {"      hello         ", "       zirk         ", "+ - + - + - + - + - ",
                         "       Tesmo        "};
const Lines kStars = {" * * * * * * * * * *", "* * * * * * * * * * ", " * * * * * * * * * *", "* * * * * * * * * * "};

// Runs panelKeyDemo through `polls` polls, the n-th showing keys[n].
std::string runKeyDemo(IssBench& b, const std::vector<uint16_t>& keys, int polls) {
    for (uint16_t k : keys) b.rig.panel.queueKeys(k);
    return b.runFor(polls * kPassMs + kPassMs / 2, [] { panelKeyDemo(0); });
}

TEST(PanelKeyDemo, PromptsThenAHeldKeyWritesItsScreenOnce) {
    IssBench b;
    const std::string out = runKeyDemo(b, {Panel::kKey1, Panel::kKey1, 0}, 3);
    EXPECT_EQ(b.rig.panel.statusReads(), 4);  // the fourth poll is under way
    EXPECT_EQ(keyLines(out), (Lines{"keys: 01 00 01", "keys: 01 01 00", "keys: 00 01 00"}));
    EXPECT_EQ(b.rig.panel.screen(), screenOf(kGreeting));
    EXPECT_EQ(b.rig.panel.freshScreens(), 2);  // the prompt and one greeting

    // The prompt went first, then the poll, then the greeting's four rows.
    auto frames = b.framesFrom();
    ASSERT_GE(frames.size(), 6u);
    const std::string prompt = " press 1 or 3       ";
    Bytes first = {0x55, 0xC6, 0x00, 0x15, 0x0C};
    first.insert(first.end(), prompt.begin(), prompt.end());
    EXPECT_EQ(frames[0], first);
    EXPECT_EQ(frames[1], (Bytes{0x54, 0xC7, 0x04}));
    for (int row = 0; row < 4; ++row) {
        Bytes f = {0x55, 0xC6, 0x00, 0x15, uint8_t(row == 0 ? 12 : 0)};
        f.insert(f.end(), kGreeting[row].begin(), kGreeting[row].end());
        EXPECT_EQ(frames[2 + row], f) << row;
    }
}

TEST(PanelKeyDemo, BothKeysInOnePollWriteBothScreensStarsLast) {
    IssBench b;
    const std::string out = runKeyDemo(b, {Panel::kKey1 | Panel::kKey3}, 2);
    EXPECT_EQ(keyLines(out), (Lines{"keys: 05 00 05", "keys: 00 05 00"}));
    EXPECT_EQ(b.rig.panel.screen(), screenOf(kStars));
    EXPECT_EQ(b.rig.panel.freshScreens(), 3);
}

TEST(PanelKeyDemo, AKeyReleasedAndPressedAgainCountsAgain) {
    IssBench b;
    const std::string out = runKeyDemo(b, {Panel::kKey3, 0, Panel::kKey3 | 0x100}, 3);
    EXPECT_EQ(keyLines(out), (Lines{"keys: 04 00 04", "keys: 00 04 00", "keys: 04 00 04"}));
    EXPECT_EQ(b.rig.panel.freshScreens(), 3);  // prompt and two star screens
}

struct Point {
    int x, y;
};

Point parsePoint(const std::string& row) {
    Point p{999, 999};
    EXPECT_EQ(std::sscanf(row.c_str(), " x,y = %d,%d", &p.x, &p.y), 2) << row;
    return p;
}

TEST(CircleDemo, FirstPointsAsDescribedAndThePathRepeatsEvery242Steps) {
    IssBench b;
    constexpr int kPasses = 250;
    const std::string out = b.runFor(kPasses * kPassMs + kPassMs / 2, [] { ppCircleDemo(0); });

    Lines pairs;
    for (const std::string& row : lines(out))
        if (row.rfind(" x,y = ", 0) == 0) pairs.push_back(row);
    ASSERT_EQ(pairs.size(), size_t(kPasses));
    EXPECT_EQ(pairs[0], " x,y = 30,-7");
    EXPECT_EQ(pairs[1], " x,y = 29,-14");

    auto frames = b.framesFrom();
    ASSERT_EQ(frames.size(), size_t(kPasses));
    EXPECT_EQ(frames[0], (Bytes{0x55, 0x0A, 0x10, 0x07, 0x00, 0x07, 0x04, 0xFF, 0x40, 0x00, 0x20}));
    EXPECT_EQ(frames[1], (Bytes{0x55, 0x0A, 0x10, 0x07, 0x00, 0x07, 0x03, 0x00, 0x42, 0x04, 0x20}));

    // Back at the start after 242 steps, and not before.
    const auto home = std::find(pairs.begin(), pairs.end(), " x,y = 30,0");
    EXPECT_EQ(home - pairs.begin(), 241);
    for (size_t i = 0; i + 242 < pairs.size(); ++i) EXPECT_EQ(pairs[i], pairs[i + 242]) << i;
    // The point comes back with it; the value bytes go on counting.
    EXPECT_EQ(Bytes(frames[0].begin(), frames[0].begin() + 7), Bytes(frames[242].begin(), frames[242].begin() + 7));

    for (size_t i = 0; i < pairs.size(); ++i) {
        const Point p = parsePoint(pairs[i]);
        EXPECT_TRUE(p.x >= -31 && p.x <= 31 && p.y >= -31 && p.y <= 31) << pairs[i];
        const int px = frames[i][5], py = frames[i][6];
        EXPECT_TRUE(px >= 1 && px <= 7 && py >= 1 && py <= 7) << i;
    }
    EXPECT_EQ(b.rig.plot.points(), kPasses);
    EXPECT_EQ(lines(out)[2], " pp: 11 7,  0 ack:255");
}

}  // namespace
}  // namespace bc
