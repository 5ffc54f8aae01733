#include <gtest/gtest.h>

#include "led/max7219_sequences.h"
#include "led/max7219_setup.h"
#include "led/max7219_transfer.h"
#include "tests/support/led_fixture.h"

namespace bc {
namespace {

using test::Bytes;
using test::IssBench;
using test::registerWords;

using Words = std::vector<uint16_t>;

// Gives the chip some state the set-up routines should keep or replace.
void scribble(IssBench& b) {
    test::ioSetUp(b);
    b.run([] {
        for (int w : {0x0A05, 0x0B02, 0x09F0, 0x0C00, 0x0203, 0x0185, 0x0877}) sendMax7219Word(0, w);
    });
    b.rig.display.latched.clear();
    b.rig.adapter.frames.clear();
}

// The frames begin with the IO set-up, and only set-pins frames follow.
void expectIoSetUpFirst(const IssBench& b) {
    auto frames = b.framesFrom();
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(std::vector<Bytes>(frames.begin(), frames.begin() + 2), test::ioSetUpFrames());
    for (size_t i = 2; i < frames.size(); ++i) EXPECT_EQ(frames[i].at(0), 0x63);
}

TEST(Max7219SetUp, InitScansAllDigitsWithoutDecodeAndLeavesTheRest) {
    IssBench b;
    scribble(b);
    b.rig.adapter.setMode(0x40);  // the set-up must bring IO mode back itself
    b.run([] { initMax7219(0); });
    expectIoSetUpFirst(b);
    EXPECT_EQ(registerWords(b.rig.display.latched), (Words{0x0B07, 0x0900, 0x0C01}));
    const auto& chip = b.rig.display;
    EXPECT_FALSE(chip.shutdown());
    EXPECT_EQ(chip.scanLimit(), 7);
    EXPECT_EQ(chip.decodeMode(), 0);
    EXPECT_EQ(chip.intensity(), 5);
    EXPECT_EQ(chip.digit(8), 0x77);
    EXPECT_EQ(chip.digit(1), 0x85);
}

TEST(Max7219SetUp, ClearDarkensEveryDigitAtIntensityThree) {
    IssBench b;
    scribble(b);
    b.run([] { clearMax7219(0); });
    expectIoSetUpFirst(b);
    EXPECT_EQ(registerWords(b.rig.display.latched), (Words{0x0C01, 0x0B07, 0x0900, 0x0A03, 0x0C00, 0x0100, 0x0200,
                                                           0x0300, 0x0400, 0x0500, 0x0600, 0x0700, 0x0800, 0x0C01}));
    const auto& chip = b.rig.display;
    EXPECT_FALSE(chip.shutdown());
    EXPECT_EQ(chip.decodeMode(), 0);
    EXPECT_EQ(chip.scanLimit(), 7);
    EXPECT_EQ(chip.intensity(), 3);
    for (int r = 1; r <= 8; ++r) EXPECT_EQ(chip.digit(r), 0) << r;
    EXPECT_EQ(chip.text(), "        ");
}

TEST(Max7219SetUp, HelpShowsHelpBlankDashAndKeepsTheTwoRightDigits) {
    IssBench b;
    scribble(b);  // registers 2 and 1 hold 03 and 85
    const int64_t start = b.bench.now();
    b.run([] { showMax7219Help(0); });
    expectIoSetUpFirst(b);
    EXPECT_EQ(registerWords(b.rig.display.latched), (Words{0x0C01, 0x0B07, 0x0900, 0x0A03, 0x0C01, 0x0B07, 0x09FF,
                                                           0x080C, 0x070B, 0x060D, 0x050E, 0x040F, 0x030A, 0x0C01}));
    EXPECT_EQ(b.rig.display.text(), "HELP -35.");
    EXPECT_EQ(b.rig.display.decodeMode(), 0xFF);
    EXPECT_GE(b.bench.now() - start, 14 * 600 + 2);

    b.run([] { clearMax7219(0); });
    b.run([] { showMax7219Help(0); });
    EXPECT_EQ(b.rig.display.text(), "HELP -00");
}

// What each register sequence shows, left digit first, as its table reads.
struct Shown {
    const int* sequence;
    const char* text;
};

TEST(Max7219Sequences, EachShowsItsPattern) {
    const Shown shown[] = {
        {seqDigits, "12345678"}, {seq2525, "25252525"}, {seqError, "Error   "}, {seqBlank, "        "},
        {seqZeros, "00000000"},  {seqBars, "========"}, {seqWave, "_-^-_uuu"},  {seqPoints, " . . . . . . . ."},
    };
    for (int n = 0; n < kSequenceCount; ++n) {
        SCOPED_TRACE(sequenceTableNames[n]);
        EXPECT_EQ(sequenceTable[n], shown[n].sequence);
        IssBench b;
        scribble(b);
        b.run([] {
            sendMax7219Word(0, 0x0B07);  // every digit scanned, as the patterns expect
            sendMax7219Word(0, 0x0F01);  // display test on
        });
        b.rig.display.latched.clear();
        b.rig.adapter.frames.clear();
        b.run([&] { sendMax7219Sequence(0, n, shown[n].sequence); });
        expectIoSetUpFirst(b);

        Words expected = {0x0C01, 0x0F00};
        for (int i = 0; i < 10; ++i) expected.push_back(uint16_t(shown[n].sequence[i]));
        EXPECT_EQ(shown[n].sequence[10], -1);
        EXPECT_EQ(registerWords(b.rig.display.latched), expected);
        EXPECT_EQ(b.rig.display.text(), shown[n].text);
        EXPECT_FALSE(b.rig.display.displayTest());
    }
}

TEST(Max7219Sequences, BarsDrawTopAndBottomOnEveryDigit) {
    IssBench b;
    b.run([] {
        initMax7219(0);
        sendMax7219Sequence(0, 5, seqBars);
    });
    std::string top, middle;
    for (int d = 0; d < 8; ++d) top += " _  ", middle += "    ";
    EXPECT_EQ(b.rig.display.art(), top + "\n" + middle + "\n" + top + "\n");
}

TEST(Max7219Sequences, AnEmptySequenceStillWakesTheChipAndEndsTheTest) {
    const int empty[] = {-1};
    for (const int* sequence : {empty, static_cast<const int*>(nullptr)}) {
        IssBench b;
        const int64_t start = b.bench.now();
        b.run([&] { sendMax7219Sequence(0, 0, sequence); });
        expectIoSetUpFirst(b);
        EXPECT_EQ(registerWords(b.rig.display.latched), (Words{0x0C01, 0x0F00}));
        EXPECT_GE(b.bench.now() - start, 2 * 600 + 3);
    }
}

}  // namespace
}  // namespace bc
