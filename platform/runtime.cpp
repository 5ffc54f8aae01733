// clock, _sleep and exit, the parts both systems share: the virtual clock
// and exit hook of the tests, and the monotonic clock behind clock(). The
// real sleep is each system's own (posix/ and windows/runtime.cpp), and so
// is the watch for Ctrl-C (interrupt.cpp).
#include "platform/runtime.h"

#include <cstdlib>

#include "platform/interrupt.h"
#include "platform/monotonic.h"
#include "platform/replacing_file.h"
#include "platform/seam.h"

namespace bc {

namespace {
const int64_t g_startUs = monotonicUs();
}  // namespace

clock_t clock() {
    endIfStopped();
    if (seam::VirtualClock* vc = seam::attachedClock()) {
        clock_t now = clock_t(vc->now());
        vc->advanceBy(1);
        return now;
    }
    return clock_t((monotonicUs() - g_startUs) / 1000);
}

void _sleep(unsigned long ms) {
    endIfStopped();
    if (seam::VirtualClock* vc = seam::attachedClock()) {
        vc->advanceBy(int64_t(ms));
        return;
    }
    sleepRealMs(ms);
    endIfStopped();
}

void exit(int status) {
    // A capture under way is cut short: the earlier files stay as they were.
    discardUnplacedFiles();
    if (const auto& hook = seam::exitHook()) hook(status);
    std::exit(status);
}

}  // namespace bc
