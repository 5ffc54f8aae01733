// The three C runtime services the routines use whose behaviour differs
// between systems: clock, _sleep and exit.
#pragma once

#include <ctime>

namespace bc {

// Milliseconds on a monotonic wall clock, 1000 ticks per second, as the
// Windows runtime's clock() counts. (POSIX clock() counts processor time,
// which would make every busy-wait wrong.)
clock_t clock();

// Sleeps the given number of milliseconds.
void _sleep(unsigned long ms);

// Ends the process with the given status, flushing standard output; a
// capture file not yet put in place is removed, the earlier one kept.
[[noreturn]] void exit(int status);

// Sleeps on the system's own timer, ending the process if interrupted
// meanwhile (each system's own, posix/ and windows/runtime.cpp).
void sleepRealMs(unsigned long ms);

}  // namespace bc
