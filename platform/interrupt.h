// Ctrl-C and a lost console, as both systems deliver them: the signal
// handler (POSIX) or the console control handler (Windows, on a thread of
// its own) only notes them, and the one thread ends the process through
// bc::exit at the next point where it waits or reads the clock, so that
// output is flushed, files are closed and the port is released.
#pragma once

#include <cstdint>

namespace bc {

// Ctrl-C, SIGTERM, the console window closing: the process ends with status
// 128 + `signal` at its next wait.
void noteInterrupt(int signal);

// A closed pipe or a hung-up terminal on standard output: the process ends
// with status 128 + `signal` at its next wait, unless console loss is held
// off (holdOffConsoleLoss below), in which case it ends as the hold
// is let go.
void noteConsoleLost(int signal);

// The time a run was given (benchcom-run --for) is up: the process ends at
// its next wait as at Ctrl-C, but with status 0.
void noteTimeUp();

// Whether endIfInterrupted would end the process now: for a wait of the
// program's own (a prompt) that must give up when one has been noted.
bool stopNoted();

// Forgets a noted Ctrl-C or SIGTERM, once the program has ended what it
// interrupted in its own way (benchcom-run's shell ends the one routine).
void forgetInterrupt();

// Ends the process through bc::exit when one of the above has been noted
// (and, for a lost console, is not held off); else returns.
void endIfInterrupted();

// `note` is called with the exit status and the kind of end just before an
// interrupt or a lost console ends the process: the port trace notes it, so
// that a replay of the session ends where it ended. (A few can be noted.)
void onEndBySignal(void (*note)(int status, bool consoleLost));

// An interrupt (or a lost console) that comes by itself once the time is
// `dueUs` or later, in microseconds on the clock the waits read (the virtual
// one when attached): a replay ends where its recording was interrupted.
void noteInterruptAt(int64_t dueUs, int signal, bool consoleLost);

// endIfInterrupted, after looking for a console that has gone where the
// system gives no signal for it (Windows). Every wait calls it.
void endIfStopped();

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
