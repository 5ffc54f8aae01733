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

// Makes Ctrl-C (and SIGTERM, SIGHUP) end the process through exit(), so
// that output is flushed, files are closed and the port is released.
void endCleanlyOnInterrupt();

}  // namespace bc
