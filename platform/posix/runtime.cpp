// clock, _sleep and exit on POSIX, and the clean end on Ctrl-C or a lost
// console.
#include <signal.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/posix/interrupt.h"
#include "platform/seam.h"

namespace bc {

namespace {

volatile sig_atomic_t g_interrupt = 0;    // SIGINT or SIGTERM: end at once
volatile sig_atomic_t g_consoleLost = 0;  // SIGPIPE or SIGHUP: end when not held off
bool g_consoleLossHeldOff = false;

void onInterrupt(int sig) { g_interrupt = sig; }
void onConsoleLost(int sig) {
    if (!g_consoleLost) g_consoleLost = sig;
}

void catchSignal(int sig, void (*handler)(int)) {
    struct sigaction sa{};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no SA_RESTART: a blocked poll or sleep must wake up
    sigaction(sig, &sa, nullptr);
}

const auto g_start = std::chrono::steady_clock::now();

}  // namespace

clock_t clock() {
    posix::endIfInterrupted();
    if (seam::VirtualClock* vc = seam::attachedClock()) {
        clock_t now = clock_t(vc->now());
        vc->advanceBy(1);
        return now;
    }
    auto elapsed = std::chrono::steady_clock::now() - g_start;
    return clock_t(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void _sleep(unsigned long ms) {
    if (seam::VirtualClock* vc = seam::attachedClock()) {
        vc->advanceBy(int64_t(ms));
        return;
    }
    timespec left{time_t(ms / 1000), long(ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) posix::endIfInterrupted();
    posix::endIfInterrupted();
}

void exit(int status) {
    if (const auto& hook = seam::exitHook()) hook(status);
    std::exit(status);
}

// The endless routines run until the user presses Ctrl-C. Catching the signal
// and ending through exit() flushes standard output, closes capture files and
// releases the port's exclusive lock, which a plain kill would leave set on a
// pseudo-terminal.
//
// A closed pipe (SIGPIPE) or a hung-up terminal (SIGHUP) ends the process the
// same way, but only where no capture is under way: the write that found the
// console gone fails instead, its line is dropped, and the capture goes on to
// complete its files. SIGXFSZ is ignored so that a write past the file-size
// limit fails with EFBIG, which the capture says, instead of killing the tool
// with its files cut short.
void endCleanlyOnInterrupt() {
    catchSignal(SIGINT, onInterrupt);
    catchSignal(SIGTERM, onInterrupt);
    catchSignal(SIGPIPE, onConsoleLost);
    catchSignal(SIGHUP, onConsoleLost);
    signal(SIGXFSZ, SIG_IGN);
}

void holdOffConsoleLoss(bool hold) {
    g_consoleLossHeldOff = hold;
    if (!hold) posix::endIfInterrupted();
}

namespace posix {

void endIfInterrupted() {
    if (g_interrupt) bc::exit(128 + g_interrupt);
    if (g_consoleLost && !g_consoleLossHeldOff) bc::exit(128 + g_consoleLost);
}

}  // namespace posix
}  // namespace bc
