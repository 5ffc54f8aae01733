// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// The text panel with keypad as its register 0 shows it: shared by the
// routines that write and poll it and the simulated one.
#pragma once

#include <cstdint>

namespace bc::panel {

constexpr int kRows = 4;
constexpr int kCols = 20;

// Everything goes through register 0.
constexpr unsigned char kRegister = 0x00;

// Written: characters from 32 up land at the cursor, which wraps from the end
// of a row onto the next and from the last row to the first; lower bytes are
// commands, 2 and 3 followed by their parameters.
constexpr unsigned char kNothing = 0;
constexpr unsigned char kCursorHome = 1;
constexpr unsigned char kCursorTo = 2;        // p: position 1..80
constexpr unsigned char kCursorToRowCol = 3;  // r c, each from 1
constexpr unsigned char kBackspace = 8;
constexpr unsigned char kNextRow = 10;
constexpr unsigned char kFreshScreen = 12;  // blank, cursor home
constexpr unsigned char kStartOfRow = 13;

// Read: four status bytes.
constexpr int kStatusBytes = 4;
constexpr int kStatusFreeSpace = 0;
constexpr int kStatusKeysLow = 1;   // bit 0 key 1 ... bit 7 key 8
constexpr int kStatusKeysHigh = 2;  // bit 0 key 9, bit 1 '*', bit 2 '0', bit 3 '#'
constexpr int kStatusRevision = 3;

// Key bits of the sixteen-bit key state (high byte << 8 | low byte).
constexpr uint16_t kKey1 = 0x001;
constexpr uint16_t kKey3 = 0x004;

}  // namespace bc::panel
