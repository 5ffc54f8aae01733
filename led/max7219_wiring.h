// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// How the MAX7219 hangs on the adapter's IO pins, what its registers are and
// what the values written to them mean: shared by the driver routines and the
// simulated chip.
#pragma once

namespace bc::max7219 {

// Pin bits of the adapter's set-pins byte.
constexpr int kPinSpare = 0x01;  // no chip line
constexpr int kPinClk = 0x02;    // data shifts in on the rising edge
constexpr int kPinDin = 0x04;
constexpr int kPinLoad = 0x08;  // the rising edge latches the 16 bits

// Register numbers (bits 11..8 of a word; 0x00 is the no-op register).
constexpr int kRegDigit0 = 0x01;  // rightmost digit; 0x08 is the leftmost
constexpr int kRegDigit7 = 0x08;
constexpr int kRegDecodeMode = 0x09;
constexpr int kRegIntensity = 0x0A;
constexpr int kRegScanLimit = 0x0B;
constexpr int kRegShutdown = 0x0C;
constexpr int kRegDisplayTest = 0x0F;

constexpr int kWordBits = 16;

// The word that writes `data` into register `reg`.
constexpr int word(int reg, int data) { return reg << 8 | data; }
// The register of digit n, 0 the rightmost, 7 the leftmost.
constexpr int digitReg(int n) { return kRegDigit0 + n; }

// Register values.
constexpr int kShutdownMode = 0x00;     // shutdown register: dark, registers kept
constexpr int kNormalOperation = 0x01;  // shutdown register: awake
constexpr int kNoDecode = 0x00;         // decode mode: raw segments on every digit
constexpr int kCodeBAll = 0xFF;         // decode mode: Code B on every digit
constexpr int kScanAllDigits = 0x07;    // scan limit: digits 0 to 7
constexpr int kDisplayTestOff = 0x00;

// Words the routines send again and again.
constexpr int kWake = word(kRegShutdown, kNormalOperation);
constexpr int kScanAll = word(kRegScanLimit, kScanAllDigits);
constexpr int kRawSegments = word(kRegDecodeMode, kNoDecode);
constexpr int kTestOff = word(kRegDisplayTest, kDisplayTestOff);
// Every digit register emptied, rightmost first.
inline constexpr int kAllDigitsDark[8] = {word(digitReg(0), 0), word(digitReg(1), 0), word(digitReg(2), 0),
                                          word(digitReg(3), 0), word(digitReg(4), 0), word(digitReg(5), 0),
                                          word(digitReg(6), 0), word(digitReg(7), 0)};

// Digit data without decode: bit 7 the decimal point, bits 6..0 segments
// A (top), B, C, D (bottom), E, F, G (middle).
constexpr int kSegDp = 0x80;
constexpr int kSegA = 0x40;
constexpr int kSegB = 0x20;
constexpr int kSegC = 0x10;
constexpr int kSegD = 0x08;
constexpr int kSegE = 0x04;
constexpr int kSegF = 0x02;
constexpr int kSegG = 0x01;

// Code B characters beyond the digits 0..9.
constexpr int kCodeBDash = 0x0A;
constexpr int kCodeBE = 0x0B;
constexpr int kCodeBH = 0x0C;
constexpr int kCodeBL = 0x0D;
constexpr int kCodeBP = 0x0E;
constexpr int kCodeBBlank = 0x0F;

}  // namespace bc::max7219
