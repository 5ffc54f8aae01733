#include "platform/interrupt.h"

#include <atomic>

#include "platform/monotonic.h"
#include "platform/runtime.h"
#include "platform/seam.h"

namespace bc {

namespace {

// Set from a signal handler or another thread: lock-free and atomic.
std::atomic<int> g_interrupt{0};    // end at once
std::atomic<int> g_consoleLost{0};  // end when not held off
std::atomic<bool> g_timeUp{false};  // end at once, with status 0
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);
bool g_consoleLossHeldOff = false;
// Who is told of an end by a signal: the port trace, a replay.
void (*g_endNotes[4])(int, bool) = {};

// The one interrupt a replay has scheduled (set and read on the one thread).
struct DueInterrupt {
    int64_t atUs = 0;
    int signal = 0;
    bool consoleLost = false;
};
DueInterrupt g_due;

int64_t nowUs() {
    if (seam::VirtualClock* vc = seam::attachedClock()) return vc->now() * 1000;
    return monotonicUs();
}

[[noreturn]] void endBySignal(int sig, bool consoleLost) {
    for (auto note : g_endNotes)
        if (note) note(128 + sig, consoleLost);
    bc::exit(128 + sig);
}

void takeDueInterrupt() {
    if (!g_due.signal || nowUs() < g_due.atUs) return;
    if (g_due.consoleLost)
        noteConsoleLost(g_due.signal);
    else
        noteInterrupt(g_due.signal);
    g_due.signal = 0;
}

}  // namespace

void noteInterrupt(int signal) { g_interrupt = signal; }

void noteConsoleLost(int signal) {
    int none = 0;
    g_consoleLost.compare_exchange_strong(none, signal);
}

void onEndBySignal(void (*note)(int, bool)) {
    for (auto& slot : g_endNotes)
        if (!slot || slot == note) {
            slot = note;
            return;
        }
}

void noteInterruptAt(int64_t dueUs, int signal, bool consoleLost) { g_due = {dueUs, signal, consoleLost}; }

void noteTimeUp() { g_timeUp = true; }

bool stopNoted() { return g_interrupt || g_timeUp || (g_consoleLost && !g_consoleLossHeldOff); }

void forgetInterrupt() { g_interrupt = 0; }

void endIfInterrupted() {
    takeDueInterrupt();
    if (int sig = g_interrupt) endBySignal(sig, false);
    if (g_timeUp) bc::exit(0);
    if (int sig = g_consoleLost; sig && !g_consoleLossHeldOff) endBySignal(sig, true);
}

void holdOffConsoleLoss(bool hold) {
    g_consoleLossHeldOff = hold;
    if (!hold) endIfStopped();
}

}  // namespace bc
