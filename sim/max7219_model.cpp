#include "sim/max7219_model.h"

#include "led/max7219_wiring.h"

namespace bc::sim {

using namespace max7219;

namespace {

// Segment patterns (DP A B C D E F G) of the Code B font.
constexpr uint8_t kCodeBFont[16] = {0x7E, 0x30, 0x6D, 0x79, 0x33, 0x5B, 0x5F, 0x70,
                                    0x7F, 0x7B, 0x01, 0x4F, 0x37, 0x0E, 0x67, 0x00};
constexpr char kCodeBChars[] = "0123456789-EHLP ";

// Shapes beyond the Code B font that the tool draws with raw segments.
struct Shape {
    uint8_t segments;
    char c;
};
constexpr Shape kExtraShapes[] = {
    {0x05, 'r'}, {0x1D, 'o'}, {0x1C, 'u'}, {0x48, '='}, {0x08, '_'}, {0x40, '^'},
    {0x77, 'A'}, {0x1F, 'b'}, {0x0D, 'c'}, {0x3D, 'd'}, {0x47, 'F'}, {0x3E, 'U'},
};

bool rose(uint8_t before, uint8_t after, int pin) { return !(before & pin) && (after & pin); }

}  // namespace

void Max7219Model::pinsChanged(uint8_t levels, int64_t) {
    const uint8_t before = pins_;
    pins_ = levels;
    // DIN shifts in on CLK's rising edge whatever LOAD does; should both rise
    // together, the bit goes in before the latch.
    if (rose(before, levels, kPinClk)) shift_ = uint16_t((shift_ << 1) | ((levels & kPinDin) ? 1 : 0));
    if (rose(before, levels, kPinLoad)) latch();
}

void Max7219Model::latch() {
    latched.push_back(shift_);
    keepLatest(latched, latchedLimit, latchedDropped);
    const int reg = (shift_ >> 8) & 0x0F;
    const uint8_t data = uint8_t(shift_);
    if (reg >= kRegDigit0 && reg <= kRegDigit7)
        digits_[reg - 1] = data;
    else if (reg == kRegDecodeMode)
        decodeMode_ = data;
    else if (reg == kRegIntensity)
        intensity_ = data & 0x0F;
    else if (reg == kRegScanLimit)
        scanLimit_ = data & 0x07;
    else if (reg == kRegShutdown)
        normalOperation_ = data & 1;
    else if (reg == kRegDisplayTest)
        displayTest_ = data & 1;
    // 0x00 is the no-op register; 0x0D and 0x0E do nothing.
}

uint8_t Max7219Model::codeB(uint8_t data) { return kCodeBFont[data & 0x0F]; }

char Max7219Model::glyph(uint8_t segments) {
    segments &= 0x7F;
    for (int i = 0; i < 16; ++i)
        if (kCodeBFont[i] == segments) return kCodeBChars[i];
    for (const Shape& s : kExtraShapes)
        if (s.segments == segments) return s.c;
    return '?';
}

uint8_t Max7219Model::litSegments(int position) const {
    // The test mode lights everything, overriding even shutdown.
    if (displayTest_) return 0xFF;
    const int index = 7 - position;  // digit register index-1
    if (!normalOperation_ || index > scanLimit_) return 0;
    const uint8_t data = digits_[index];
    if (decodeMode_ & (1 << index)) return uint8_t(codeB(data) | (data & kSegDp));
    return data;
}

std::string Max7219Model::text() const {
    std::string out;
    for (int p = 0; p < 8; ++p) {
        const uint8_t s = litSegments(p);
        out += glyph(s);
        if (s & kSegDp) out += '.';
    }
    return out;
}

std::string Max7219Model::art() const {
    std::string rows[3];
    for (int p = 0; p < 8; ++p) {
        const uint8_t s = litSegments(p);
        auto on = [s](int seg, char c) { return (s & seg) ? c : ' '; };
        rows[0] += {' ', on(kSegA, '_'), ' ', ' '};
        rows[1] += {on(kSegF, '|'), on(kSegG, '_'), on(kSegB, '|'), ' '};
        rows[2] += {on(kSegE, '|'), on(kSegD, '_'), on(kSegC, '|'), on(kSegDp, '.')};
    }
    return rows[0] + "\n" + rows[1] + "\n" + rows[2] + "\n";
}

}  // namespace bc::sim
