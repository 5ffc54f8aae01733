// clock, _sleep and exit on Windows: the runtime's own, unless a test has
// attached a virtual clock or an exit hook.
#include <cstdlib>

#include "platform/seam.h"

namespace bc {

clock_t clock() {
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
    ::Sleep(DWORD(ms));
}

void exit(int status) {
    if (const auto& hook = seam::exitHook()) hook(status);
    std::exit(status);
}

// Windows ends a console program on Ctrl-C and releases its handles itself.
void endCleanlyOnInterrupt() {}

}  // namespace bc
