// clock, _sleep and exit on Windows: the runtime's own, unless a test has
// attached a virtual clock or an exit hook; and the clean end on Ctrl-C or a
// lost console.
#include <cstdio>
#include <cstdlib>

#include "platform/interrupt.h"
#include "platform/program_name.h"
#include "platform/seam.h"
#include "platform/windows/kernel32.h"

namespace bc {

namespace {

// Exit status for a lost console, as the shell shows a program that SIGPIPE
// ended on other systems.
constexpr int kSigPipe = 13;

bool g_watchConsole = false;

// Windows sends no signal when the pipe that is standard output closes: the
// write fails and the stream keeps the error. Checked at every wait, so that
// a routine with no one left to read it ends there.
void endIfStopped() {
    if (g_watchConsole && ferror(stdout)) noteConsoleLost(kSigPipe);
    endIfInterrupted();
}

}  // namespace

clock_t clock() {
    endIfStopped();
    if (seam::VirtualClock* vc = seam::attachedClock()) {
        clock_t now = clock_t(vc->now());
        vc->advanceBy(1);
        return now;
    }
    return ::clock();
}

void _sleep(unsigned long ms) {
    endIfStopped();
    if (seam::VirtualClock* vc = seam::attachedClock()) {
        vc->advanceBy(int64_t(ms));
        return;
    }
    k32::sleepMs(ms);
    endIfStopped();
}

std::string programName() { return k32::programName(); }

void exit(int status) {
    if (const auto& hook = seam::exitHook()) hook(status);
    std::exit(status);
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
