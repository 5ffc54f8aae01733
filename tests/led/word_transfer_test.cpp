#include <gtest/gtest.h>

#include <functional>

#include "led/max7219_transfer.h"
#include "tests/support/led_fixture.h"

namespace bc {
namespace {

using test::Bytes;
using test::IssBench;
using test::lines;
using test::pinFramesFor;
using test::writeLine;

TEST(Max7219Word, ClocksTheListedFiftyThreeFramesFor0C01) {
    IssBench b;
    test::ioSetUp(b);
    auto out = lines(b.run([] { sendMax7219Word(0, 0x0C01); }));

    Bytes listed = {8, 0, 0};
    auto repeat = [&listed](int times, Bytes frames) {
        for (int i = 0; i < times; ++i) listed.insert(listed.end(), frames.begin(), frames.end());
    };
    repeat(4, {0, 2, 0});  // bits 15..12
    repeat(2, {4, 6, 4});  // bits 11, 10
    repeat(9, {0, 2, 0});  // bits 9..1
    repeat(1, {4, 6, 4});  // bit 0
    listed.insert(listed.end(), {8, 8});
    ASSERT_EQ(listed.size(), 53u);
    EXPECT_EQ(b.rig.adapter.pinFrames, listed);
    for (const Bytes& f : b.framesFrom()) EXPECT_EQ(f, (Bytes{0x63, f.at(1)}));

    std::vector<std::string> expected = {"", "=========", "MAX2719: 0C01  "};
    expected.insert(expected.end(), 53, writeLine(2));
    EXPECT_EQ(out, expected);
    EXPECT_FALSE(b.rig.display.shutdown());
}

TEST(Max7219Word, AWordAboveSixteenBitsPrintsInFullButClocksSixteen) {
    IssBench b;
    test::ioSetUp(b);
    auto out = lines(b.run([] { sendMax7219Word(0, 0x12C01); }));
    EXPECT_EQ(out[2], "MAX2719: 12C01  ");
    EXPECT_EQ(b.rig.adapter.pinFrames, pinFramesFor(0x2C01));
    // Bits 15..12 mean nothing to the chip: register 0x0C took the 01.
    EXPECT_EQ(b.rig.display.latched.back(), 0x2C01);
    EXPECT_FALSE(b.rig.display.shutdown());
}

TEST(Max7219Word, EachWordLandsInItsRegisterAndTakesAtLeast600Ms) {
    IssBench b;
    test::ioSetUp(b);
    auto& chip = b.rig.display;
    struct Step {
        int word;
        std::function<bool()> holds;
    };
    const Step steps[] = {
        {0x0C01, [&] { return !chip.shutdown(); }},      {0x0B03, [&] { return chip.scanLimit() == 3; }},
        {0x0A05, [&] { return chip.intensity() == 5; }}, {0x09F0, [&] { return chip.decodeMode() == 0xF0; }},
        {0x0F01, [&] { return chip.displayTest(); }},    {0x0F00, [&] { return !chip.displayTest(); }},
        {0x0155, [&] { return chip.digit(1) == 0x55; }}, {0x08AA, [&] { return chip.digit(8) == 0xAA; }},
        {0x0C00, [&] { return chip.shutdown(); }},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.word);
        const int64_t start = b.bench.now();
        b.run([&] { sendMax7219Word(0, s.word); });
        EXPECT_GE(b.bench.now() - start, 600);
        EXPECT_EQ(chip.latched.back(), s.word);
        EXPECT_TRUE(s.holds());
        // Between words the lines rest with load high, clock and data low.
        EXPECT_EQ(b.rig.adapter.pins(), 8);
    }
}

TEST(Max7219Word, PinWalkDrivesItsThirteenBytesAMillisecondApart) {
    IssBench b;
    test::ioSetUp(b);
    const int64_t start = b.bench.now();
    auto out = lines(b.run([] { walkMax7219Pins(0); }));
    EXPECT_EQ(b.rig.adapter.pinFrames, (Bytes{0, 1, 2, 4, 8, 10, 2, 6, 4, 12, 8, 0, 14}));
    EXPECT_EQ(out, std::vector<std::string>(13, writeLine(2)));
    EXPECT_GE(b.bench.now() - start, 13);
    EXPECT_EQ(b.rig.adapter.pins(), 14);
}

TEST(Max7219Dot, SetsOneBitOfOneDigitRegisterWhateverZ) {
    IssBench b;
    test::ioSetUp(b);
    auto out = lines(b.run([] { sendMAX2719xyz(0, 0, 0, 1); }));
    EXPECT_EQ(out[0], "       101 ");
    EXPECT_EQ(out[2], "=========");
    EXPECT_EQ(out[3], "MAX2719: 0101  ");
    EXPECT_EQ(b.rig.display.digit(1), 0x01);

    const size_t before = b.rig.adapter.pinFrames.size();
    out = lines(b.run([] { sendMAX2719xyz(0, 7, 7, 0); }));
    EXPECT_EQ(out[0], "       880 ");
    Bytes withZ0(b.rig.adapter.pinFrames.begin() + long(before), b.rig.adapter.pinFrames.end());
    EXPECT_EQ(withZ0, pinFramesFor(0x0880));
    EXPECT_EQ(b.rig.display.digit(8), 0x80);

    b.rig.adapter.pinFrames.clear();
    b.run([] { sendMAX2719xyz(0, 7, 7, 1); });
    EXPECT_EQ(b.rig.adapter.pinFrames, withZ0);
}

TEST(Max7219Dot, RefusesABitOrDigitOutsideTheDisplay) {
    IssBench b;
    test::ioSetUp(b);
    const int outside[][2] = {{8, 0}, {-1, 0}, {0, 8}, {0, -1}, {100, 100}, {3, 11}};
    for (const auto& xy : outside) {
        auto out = lines(b.run([&] { sendMAX2719xyz(0, xy[0], xy[1], 1); }));
        EXPECT_EQ(out, std::vector<std::string>{"sendMAX2719xyz: x " + std::to_string(xy[0]) + ", y " +
                                                std::to_string(xy[1]) + " refused: both must lie in 0..7"});
    }
    EXPECT_TRUE(b.framesFrom().empty());
    EXPECT_TRUE(b.rig.display.latched.empty());
}

}  // namespace
}  // namespace bc
