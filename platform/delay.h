#pragma once

namespace bc {

// Spins on the clock (1000 ticks per second) until `ticks` ticks have passed;
// 0 or a negative count returns after one reading.
void delayMs(int ticks);

}  // namespace bc
