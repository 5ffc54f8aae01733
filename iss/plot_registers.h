// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// The write-only plot device as its register shows it: an eight-by-eight
// field of colour cells. Shared by the routines that draw on it and the
// simulated one.
#pragma once

namespace bc::plot {

constexpr int kSize = 8;
constexpr unsigned char kRegister = 0x10;

// A payload led by kLeadPattern carries 32 bytes, four bits of grey level a
// cell, row by row, high nibble first. One led by kLeadPoint sets the cell at
// x, y to the colour r, g, b, closed by kPointEnd.
constexpr unsigned char kLeadPoint = 0x00;
constexpr unsigned char kLeadPattern = 0x05;
constexpr unsigned char kPointEnd = 0x20;
constexpr int kPatternBytes = 32;
constexpr int kPointBytes = 6;  // lead, x, y, r, g, b

}  // namespace bc::plot
