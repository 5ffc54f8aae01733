// The clean end on Ctrl-C or a lost console, as Windows brings them.
#include "platform/interrupt.h"

#include <cstdio>

#include "platform/windows/kernel32.h"

namespace bc {

namespace {

// Exit status for a lost console, as the shell shows a program that SIGPIPE
// ended on other systems.
constexpr int kSigPipe = 13;

bool g_watchConsole = false;

}  // namespace

// Windows sends no signal when the pipe that is standard output closes: the
// write fails and the stream keeps the error. Checked at every wait, so that
// a routine with no one left to read it ends there.
void endIfStopped() {
    if (g_watchConsole && ferror(stdout)) noteConsoleLost(kSigPipe);
    endIfInterrupted();
}

// Windows would end the program on Ctrl-C without flushing its output or
// the port trace; noted instead, the interrupt ends it through exit() at the
// next wait, with status 130 as on POSIX. A console that has gone is watched
// for at the waits too.
void endCleanlyOnInterrupt() {
    k32::onConsoleInterrupt(&noteInterrupt);
    g_watchConsole = true;
}

}  // namespace bc
