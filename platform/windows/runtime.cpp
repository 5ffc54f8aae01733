// clock, _sleep and exit on Windows: the runtime's own, unless a test has
// attached a virtual clock or an exit hook; and the clean end on Ctrl-C.
#include <cstdlib>

#include "platform/interrupt.h"
#include "platform/program_name.h"
#include "platform/seam.h"
#include "platform/windows/kernel32.h"

namespace bc {

clock_t clock() {
    endIfInterrupted();
    if (seam::VirtualClock* vc = seam::attachedClock()) {
        clock_t now = clock_t(vc->now());
        vc->advanceBy(1);
        return now;
    }
    return ::clock();
}

void _sleep(unsigned long ms) {
    if (seam::VirtualClock* vc = seam::attachedClock()) {
        vc->advanceBy(int64_t(ms));
        return;
    }
    k32::sleepMs(ms);
    endIfInterrupted();
}

std::string programName() { return k32::programName(); }

void exit(int status) {
    if (const auto& hook = seam::exitHook()) hook(status);
    std::exit(status);
}

// Windows would end the program on Ctrl-C without flushing its output or
// the port trace; noted instead, the interrupt ends it through exit() at the
// next wait, with status 130 as on POSIX.
void endCleanlyOnInterrupt() { k32::onConsoleInterrupt(&noteInterrupt); }

}  // namespace bc
