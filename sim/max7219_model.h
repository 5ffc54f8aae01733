// A simulated MAX7219 on the adapter's pins: a 16-bit shift register clocked
// on the rising edge of CLK, latched into the register it names on the rising
// edge of LOAD; digit registers, decode mode (Code B or raw segments),
// intensity, scan limit, shutdown and display test, as at power-up: all zero,
// so shut down and scanning one digit.
//
// It renders what a person sees on the eight digits, as characters and as
// seven-segment art.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/i2c_device.h"
#include "sim/record_limit.h"

namespace bc::sim {

class Max7219Model : public PinDevice {
public:
    void pinsChanged(uint8_t levels, int64_t now) override;

    // ---- registers ----
    uint8_t digit(int reg) const { return digits_[(reg - 1) & 7]; }  // reg 1..8
    uint8_t decodeMode() const { return decodeMode_; }
    uint8_t intensity() const { return intensity_; }
    uint8_t scanLimit() const { return scanLimit_; }
    bool shutdown() const { return !normalOperation_; }
    bool displayTest() const { return displayTest_; }
    uint16_t shiftRegister() const { return shift_; }

    // Every word latched (no-op words included), in order.
    std::vector<uint16_t> latched;
    size_t latchedLimit = kWholeRecord;
    uint64_t latchedDropped = 0;

    // ---- what the display shows ----
    // The segments lit at `position`: 0 the leftmost digit (register 0x08),
    // 7 the rightmost (0x01). Bit 7 the decimal point, bits 6..0 A..G.
    uint8_t litSegments(int position) const;
    // The eight digits left to right, one character each ('?' for a shape
    // with no character), a lit decimal point as '.' after its digit.
    std::string text() const;
    // Three lines of seven-segment art, four columns a digit.
    std::string art() const;

    // The segments Code B shows for the low four bits of `data`.
    static uint8_t codeB(uint8_t data);
    // The character for a segment pattern (decimal point ignored).
    static char glyph(uint8_t segments);

private:
    void latch();

    uint8_t pins_ = 0;
    uint16_t shift_ = 0;
    uint8_t digits_[8] = {};
    uint8_t decodeMode_ = 0;
    uint8_t intensity_ = 0;
    uint8_t scanLimit_ = 0;
    bool normalOperation_ = false;
    bool displayTest_ = false;
};

}  // namespace bc::sim
