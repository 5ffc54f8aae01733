// Everything the routines need from the operating system: the Win32 serial
// calls and the three C runtime services whose behaviour differs between
// systems (clock, _sleep, exit).
#pragma once

#include <ctime>

#include "platform/win32_api.h"

namespace bc {

// Milliseconds on a monotonic wall clock, 1000 ticks per second, as the
// Windows runtime's clock() counts. (POSIX clock() counts processor time,
// which would make every busy-wait wrong.)
clock_t clock();

// Sleeps the given number of milliseconds.
void _sleep(unsigned long ms);

// Ends the process with the given status, flushing standard output.
[[noreturn]] void exit(int status);

// Makes Ctrl-C and SIGTERM end the process through exit() at its next wait,
// so that output is flushed, files are closed and the port is released; and
// likewise a lost console (a closed pipe, a terminal that hung up), unless
// it is held off. A write to a file past its size limit fails rather than
// ending the process, so that the failure can be said.
void endCleanlyOnInterrupt();

// While held off, a lost console does not end the process: a capture under
// way completes its files first, and the process ends as the hold is let go.
// Ctrl-C and SIGTERM still end it at once.
void holdOffConsoleLoss(bool hold);

}  // namespace bc
