// clock, _sleep and exit on POSIX, and the clean end on Ctrl-C.
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

volatile sig_atomic_t g_signal = 0;

void onSignal(int sig) { g_signal = sig; }

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
void endCleanlyOnInterrupt() {
    struct sigaction sa{};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no SA_RESTART: a blocked poll or sleep must wake up
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    // A write past the file-size limit then fails with EFBIG, which the
    // capture says, instead of killing the tool with its files cut short.
    signal(SIGXFSZ, SIG_IGN);
}

namespace posix {

void endIfInterrupted() {
    if (g_signal) bc::exit(128 + g_signal);
}

}  // namespace posix
}  // namespace bc
