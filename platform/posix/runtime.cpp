// clock, _sleep and exit on POSIX, and the clean end on Ctrl-C or a lost
// console.
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/interrupt.h"
#include "platform/monotonic.h"
#include "platform/program_name.h"
#include "platform/seam.h"

namespace bc {

namespace {

void onInterrupt(int sig) { noteInterrupt(sig); }
void onConsoleLost(int sig) { noteConsoleLost(sig); }

void catchSignal(int sig, void (*handler)(int)) {
    struct sigaction sa{};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no SA_RESTART: a blocked poll or sleep must wake up
    sigaction(sig, &sa, nullptr);
}

const int64_t g_startUs = monotonicUs();

}  // namespace

clock_t clock() {
    endIfInterrupted();
    if (seam::VirtualClock* vc = seam::attachedClock()) {
        clock_t now = clock_t(vc->now());
        vc->advanceBy(1);
        return now;
    }
    return clock_t((monotonicUs() - g_startUs) / 1000);
}

void _sleep(unsigned long ms) {
    if (seam::VirtualClock* vc = seam::attachedClock()) {
        vc->advanceBy(int64_t(ms));
        return;
    }
    timespec left{time_t(ms / 1000), long(ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) endIfInterrupted();
    endIfInterrupted();
}

std::string programName() { return program_invocation_short_name; }

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

}  // namespace bc
