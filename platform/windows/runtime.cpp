// clock, _sleep and exit on Windows: the runtime's own, unless a test has
// attached a virtual clock or an exit hook.
#include <cstdio>
#include <cstdlib>

#include "platform/seam.h"

namespace bc {

namespace {

// Exit status for a lost console, as the shell shows a program that SIGPIPE
// ended on other systems.
constexpr int kConsoleLostStatus = 128 + 13;

bool g_watchConsole = false;
bool g_consoleLossHeldOff = false;

// Windows sends no signal when the pipe that is standard output closes: the
// write fails and the stream keeps the error. Checked at every wait, so that
// a routine with no one left to read it ends there.
void endIfConsoleLost() {
    if (g_watchConsole && !g_consoleLossHeldOff && ferror(stdout)) exit(kConsoleLostStatus);
}

}  // namespace

clock_t clock() {
    endIfConsoleLost();
    if (seam::VirtualClock* vc = seam::attachedClock()) {
        clock_t now = clock_t(vc->now());
        vc->advanceBy(1);
        return now;
    }
    return ::clock();
}

void _sleep(unsigned long ms) {
    endIfConsoleLost();
    if (seam::VirtualClock* vc = seam::attachedClock()) {
        vc->advanceBy(int64_t(ms));
        return;
    }
    ::Sleep(DWORD(ms));
}

void exit(int status) {
    if (const auto& hook = seam::exitHook()) hook(status);
    std::exit(status);
}

// Windows ends a console program on Ctrl-C and releases its handles itself;
// what is left to watch for is a console that has gone.
void endCleanlyOnInterrupt() { g_watchConsole = true; }

void holdOffConsoleLoss(bool hold) {
    g_consoleLossHeldOff = hold;
    if (!hold) endIfConsoleLost();
}

}  // namespace bc
