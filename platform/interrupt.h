// Ctrl-C, as both systems deliver it: the signal handler (POSIX) or the
// console control handler (Windows, on a thread of its own) only notes it,
// and the one thread ends the process through bc::exit at the next point
// where it waits or reads the clock, so that output is flushed, files are
// closed and the port is released.
#pragma once

namespace bc {

// Notes an interrupt; the process will end with status 128 + `signal`.
void noteInterrupt(int signal);

// Ends the process through bc::exit when an interrupt has been noted;
// else returns.
void endIfInterrupted();

}  // namespace bc
