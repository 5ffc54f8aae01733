// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// The write-only plot device on the adapter's I2C bus (address 0x0A,
// register 0x10), an eight-by-eight field.
#pragma once

namespace bc {

// Sends the fixed 32-byte pattern, prints one line and waits 600 ms;
// returns 0.
int ppSendPattern(int fd);

// Sends one point: coordinates and three value bytes, each argument by its
// low 8 bits. Prints one line with the adapter's reply byte; returns 0.
int ppSendPoint(int fd, int x, int y, int val1, int val2, int val3);

// Walks a point round an integer circle for ever, one point every 600 ms.
[[noreturn]] void ppCircleDemo(int fd);

}  // namespace bc
