#include "platform/interrupt.h"

#include <atomic>

#include "platform/platform.h"

namespace bc {

namespace {
// Set from a signal handler or another thread: lock-free and atomic.
std::atomic<int> g_signal{0};
static_assert(std::atomic<int>::is_always_lock_free);
}  // namespace

void noteInterrupt(int signal) { g_signal = signal; }

void endIfInterrupted() {
    if (g_signal) bc::exit(128 + g_signal);
}

}  // namespace bc
