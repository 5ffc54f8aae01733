#include <gtest/gtest.h>

#include <algorithm>

#include "led/max7219_demos.h"
#include "tests/support/led_fixture.h"

namespace bc {
namespace {

using test::Bytes;
using test::IssBench;
using test::lines;
using test::registerWords;

using Words = std::vector<uint16_t>;

// The chip, remembering every change of what the display shows.
class FilmedDisplay : public sim::Max7219Model {
public:
    std::vector<std::string> shown;
    void pinsChanged(uint8_t levels, int64_t now) override {
        const size_t before = latched.size();
        Max7219Model::pinsChanged(levels, now);
        if (latched.size() != before && (shown.empty() || shown.back() != text())) shown.push_back(text());
    }
};

// Whether `wanted` appears in `seen` in order (other entries between).
bool appearsInOrder(const std::vector<std::string>& wanted, const std::vector<std::string>& seen) {
    auto at = seen.begin();
    for (const std::string& w : wanted) {
        at = std::find(at, seen.end(), w);
        if (at == seen.end()) return false;
        ++at;
    }
    return true;
}

size_t count(const std::vector<std::string>& rows, const std::string& row) {
    return size_t(std::count(rows.begin(), rows.end(), row));
}

TEST(Max7219Demos, PatternRunShowsEveryPatternAndEndsOnTheDiagonal) {
    IssBench b;
    FilmedDisplay chip;
    b.rig.adapter.attachPins(&chip);
    const int64_t start = b.bench.now();
    const std::string out = b.run([] { demoMax7219Patterns(0); });

    EXPECT_GE(b.bench.now() - start, 179000);
    // 298 words, and the twelve of the decimal-point pattern.
    auto words = test::printedWords(out);
    EXPECT_EQ(words.size(), 310u);
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.front(), "09FF  ");
    // That first word went out before the adapter was in IO mode.
    auto frames = b.framesFrom();
    ASSERT_GT(frames.size(), 53u);
    EXPECT_EQ(frames[53], (Bytes{0x5A, 0x02, 0x00, 0x00}));
    EXPECT_EQ(registerWords(chip.latched).size(), 309u);

    const std::string blank(8, ' ');
    EXPECT_TRUE(appearsInOrder(
        {"HELP -00", blank, "12345678", "HELP -78", "25252525", blank, "Error   ", blank, "00000000", blank,
         "========", blank, "_-^-_uuu", blank, " . . . . . . . .", blank, "0 0 0 -. ", "HELP -70", blank},
        chip.shown));

    EXPECT_FALSE(chip.shutdown());
    EXPECT_FALSE(chip.displayTest());
    EXPECT_EQ(chip.decodeMode(), 0);
    EXPECT_EQ(chip.scanLimit(), 7);
    EXPECT_EQ(chip.intensity(), 3);
    for (int r = 1; r <= 8; ++r) EXPECT_EQ(chip.digit(r), 1 << (r - 1)) << r;
}

// One pass of the dot-walk loop: the set-up words, then seven walks.
Words dotWalkPass() {
    Words pass = {0x0C01, 0x0B07, 0x0F00, 0x0900, 0x02AA, 0x0100, 0x0200,
                  0x0300, 0x0400, 0x0500, 0x0600, 0x0700, 0x0800};
    auto dot = [&pass](int x, int y) { pass.push_back(uint16_t(((y + 1) << 8) | (1 << x))); };
    for (int walk = 0; walk < 2; ++walk)
        for (int i = 0; i < 8; ++i) dot(0, i);
    for (int i = 0; i < 8; ++i) dot(7, i);
    for (int i = 0; i < 8; ++i) dot(i, i);
    for (int i = 0; i < 8; ++i) dot(7 - i, i);
    for (int i = 0; i < 8; ++i) dot(i, 0);
    for (int i = 0; i < 8; ++i) dot(i, 7);
    return pass;
}

TEST(Max7219Demos, DotWalkIdentifiesOnceThenRepeatsItsPass) {
    IssBench b;
    // Each pass lasts at least 13 x 0.6 + 56 x 1.2 = 75 s, and its 69 words
    // of 53 frames wait about 1 ms for each reply (the adapter's USB frame),
    // 3.7 s more: within 170 s a third pass has only just begun.
    const auto out = lines(b.runFor(170000, [] { demoMax7219Xyz(0); }));

    ASSERT_GE(out.size(), 4u);
    EXPECT_EQ(out[0], "");
    EXPECT_EQ(out[1], " ==================== ");
    EXPECT_EQ(count(out, " ==================== "), 2u);
    EXPECT_EQ(count(out, "ISS:5A-01:ver: 07 05 40 "), 1u);
    // The adapter sends eight serial-number characters, of which seven are
    // read: the eighth must not become the first byte of the IO-mode replies.
    EXPECT_EQ(count(out, "ISS:5A-03:ser: 000-1234"), 1u);
    EXPECT_EQ(count(out, "ISS:5A-02-00:IO-mode: FF 00 "), 2u);
    EXPECT_EQ(count(out, " sendMAX2719xyz( fd , 1,1, 1 ); "), 3u);

    const Words pass = dotWalkPass();
    ASSERT_EQ(pass.size(), 69u);
    const Words latched = registerWords(b.rig.display.latched);
    ASSERT_GE(latched.size(), 2 * pass.size());
    EXPECT_EQ(Words(latched.begin(), latched.begin() + 69), pass);
    EXPECT_EQ(Words(latched.begin() + 69, latched.begin() + 138), pass);

    std::vector<std::string> dots;
    for (const std::string& row : out)
        if (row.size() == 11 && row.rfind("  ", 0) == 0 && row.back() == ' ') dots.push_back(row);
    ASSERT_GE(dots.size(), 56u);
    EXPECT_EQ(dots[0], "       101 ");
    EXPECT_EQ(dots[55], "       880 ");
}

}  // namespace
}  // namespace bc
