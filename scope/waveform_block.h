// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// Reading the fields of a waveform block (layout in scope_interface.h).
// Nothing here checks the block: a short block is read as whatever its
// buffer held, which the captures clear to zero before reading.
#pragma once

namespace bc {

// The sampling period, bytes 6..9, byte 6 the most significant.
float blockTimeInterval(const unsigned char* block);

// The channel number byte (offset 10) as the character printed for it,
// '0' plus the byte.
int blockChannelChar(const unsigned char* block);

// The signed 16-bit sample at byte offset k of the sample area (k = 2n for
// sample n), high byte first.
int blockSample(const unsigned char* block, unsigned k);

// The column of the console plot for a sample value: (v + 128) / 2,
// truncated toward zero; a negative width left-aligns the mark.
inline int plotWidth(int sample) { return (sample + 128) / 2; }

}  // namespace bc
