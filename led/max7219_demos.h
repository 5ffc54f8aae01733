// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// Two demonstrations of the LED display.
#pragma once

namespace bc {

// Identifies the adapter, then walks single lit segments over the display
// for ever.
[[noreturn]] void demoMax7219Xyz(int fd);

// One run through the display's modes: HELP, the register sequences,
// intensity and scan-limit changes and diagonals of single segments. Ends in
// normal operation, no decode, scan limit 7, intensity 3, the diagonal lit.
void demoMax7219Patterns(int fd);

}  // namespace bc
