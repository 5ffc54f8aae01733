#include "platform/interrupt.h"

#include <atomic>

#include "platform/runtime.h"

namespace bc {

namespace {

// Set from a signal handler or another thread: lock-free and atomic.
std::atomic<int> g_interrupt{0};    // end at once
std::atomic<int> g_consoleLost{0};  // end when not held off
std::atomic<bool> g_timeUp{false};  // end at once, with status 0
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);
bool g_consoleLossHeldOff = false;

}  // namespace

void noteInterrupt(int signal) { g_interrupt = signal; }

void noteConsoleLost(int signal) {
    int none = 0;
    g_consoleLost.compare_exchange_strong(none, signal);
}

void noteTimeUp() { g_timeUp = true; }

bool stopNoted() { return g_interrupt || g_timeUp || (g_consoleLost && !g_consoleLossHeldOff); }

void forgetInterrupt() { g_interrupt = 0; }

void endIfInterrupted() {
    if (int sig = g_interrupt) bc::exit(128 + sig);
    if (g_timeUp) bc::exit(0);
    if (int sig = g_consoleLost; sig && !g_consoleLossHeldOff) bc::exit(128 + sig);
}

void holdOffConsoleLoss(bool hold) {
    g_consoleLossHeldOff = hold;
    if (!hold) endIfStopped();
}

}  // namespace bc
