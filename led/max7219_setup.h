// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// Set-up routines for the MAX7219 and the register-sequence walk. Each first
// puts the adapter's pins into IO mode, so that they can be called at any
// time.
#pragma once

namespace bc {

// issSetIoMode then issChangeIoMode, each with 0: all four pins outputs.
void max7219IoSetup(int fd);

// Scan all eight digits, no decode, normal operation.
void initMax7219(int fd);

// Intensity 3 and every digit register cleared while shut down; then normal
// operation, no decode, all digits dark.
void clearMax7219(int fd);

// H E L P, blank and dash in Code B on the six left digits.
void showMax7219Help(int fd);

// Normal operation, display test off, then every word of `sequence` up to
// its -1. The pattern number names the sequence for the reader and is not
// used; a null sequence sends no words of its own.
void sendMax7219Sequence(int fd, int pattern, const int* sequence);

}  // namespace bc
