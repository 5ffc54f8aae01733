#include "sim/max7219_model.h"

#include <gtest/gtest.h>

namespace bc {
namespace {

using sim::Max7219Model;

constexpr uint8_t CLK = 0x02, DIN = 0x04, LOAD = 0x08;

// Drives the chip's lines directly, as a logic analyser would see them.
void shiftWord(Max7219Model& chip, uint16_t word) {
    chip.pinsChanged(0, 0);
    for (int bit = 15; bit >= 0; --bit) {
        const uint8_t d = (word >> bit) & 1 ? DIN : 0;
        chip.pinsChanged(d, 0);
        chip.pinsChanged(d | CLK, 0);
        chip.pinsChanged(d, 0);
    }
}

void write(Max7219Model& chip, uint16_t word) {
    shiftWord(chip, word);
    chip.pinsChanged(LOAD, 0);
}

void writeAll(Max7219Model& chip, std::initializer_list<uint16_t> words) {
    for (uint16_t w : words) write(chip, w);
}

TEST(Max7219Model, ShiftsOnClockRisingEdgesAndLatchesOnLoadRising) {
    Max7219Model chip;
    shiftWord(chip, 0x0A05);
    EXPECT_EQ(chip.shiftRegister(), 0x0A05);
    EXPECT_TRUE(chip.latched.empty());
    // Clock held high, data toggled: no further shift.
    chip.pinsChanged(CLK, 0);
    chip.pinsChanged(CLK | DIN, 0);
    chip.pinsChanged(CLK, 0);
    EXPECT_EQ(chip.shiftRegister(), uint16_t(0x0A05 << 1));
    chip.pinsChanged(LOAD, 0);
    chip.pinsChanged(LOAD, 0);  // still high: one latch only
    EXPECT_EQ(chip.latched, (std::vector<uint16_t>{0x140A}));
    EXPECT_EQ(chip.digit(4), 0x0A);
}

TEST(Max7219Model, PowersUpShutDownAndShowsNothing) {
    Max7219Model chip;
    EXPECT_TRUE(chip.shutdown());
    EXPECT_EQ(chip.text(), "        ");
    write(chip, 0x0108);
    EXPECT_EQ(chip.text(), "        ");  // still shut down
    write(chip, 0x0C01);
    EXPECT_EQ(chip.text(), "       _");  // scan limit 0: the rightmost digit only
}

TEST(Max7219Model, CodeBDecodesPerDigitWithTheDecimalPoint) {
    Max7219Model chip;
    writeAll(chip, {0x0C01, 0x0B07, 0x09F0, 0x080C, 0x070B, 0x060D, 0x050E, 0x048A, 0x030F, 0x0230, 0x0101});
    // Registers 5..8 decode; 1..4 take raw segments: 8A is the point with D
    // and F, 0F is D E F G (no character), 30 is B C (a 1), 01 is G (a dash).
    EXPECT_EQ(chip.text(), "HELP?.?1-");
    write(chip, 0x09FF);
    EXPECT_EQ(chip.text(), "HELP-. 01");
}

TEST(Max7219Model, ScanLimitShutdownAndDisplayTest) {
    Max7219Model chip;
    writeAll(chip, {0x0C01, 0x09FF, 0x0B07, 0x0801, 0x0702, 0x0603, 0x0504, 0x0405, 0x0306, 0x0207, 0x0108});
    EXPECT_EQ(chip.text(), "12345678");
    write(chip, 0x0B03);
    EXPECT_EQ(chip.text(), "    5678");
    write(chip, 0x0F01);
    EXPECT_EQ(chip.text(), "8.8.8.8.8.8.8.8.");
    write(chip, 0x0C00);
    EXPECT_EQ(chip.text(), "8.8.8.8.8.8.8.8.");  // the test overrides shutdown
    write(chip, 0x0F00);
    EXPECT_EQ(chip.text(), "        ");
    write(chip, 0x0A1F);
    EXPECT_EQ(chip.intensity(), 0x0F);
}

TEST(Max7219Model, ArtDrawsEachSegmentInItsPlace) {
    Max7219Model chip;
    writeAll(chip, {0x0C01, 0x0B07, 0x0900});
    // From the left: A, B, C, D, E, F, G, point.
    writeAll(chip, {0x0840, 0x0720, 0x0610, 0x0508, 0x0404, 0x0302, 0x0201, 0x0180});
    const std::string blank = "    ";
    const std::string top = " _  " + std::string(28, ' ');
    const std::string middle = blank + "  | " + blank + blank + blank + "|   " + " _  " + blank;
    const std::string bottom = blank + blank + "  | " + " _  " + "|   " + blank + blank + "   .";
    EXPECT_EQ(chip.art(), top + "\n" + middle + "\n" + bottom + "\n");
}

}  // namespace
}  // namespace bc
