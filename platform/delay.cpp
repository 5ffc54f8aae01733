#include "platform/delay.h"

#include <cstdio>

#include "platform/runtime.h"

namespace bc {

// A busy-wait on purpose: the devices are paced in whole milliseconds and
// the tool has nothing else to do meanwhile. The target is held in 64 bits
// so that it cannot overflow where the clock nears the top of its range.
//
// What was printed before the wait is written out first, so that a person
// watching sees it while the tool waits: a line without its end (the failed
// open's message) would otherwise sit in the buffer until the process ends.
void delayMs(int ticks) {
    fflush(stdout);
    const long long target = static_cast<long long>(clock()) + ticks;
    while (static_cast<long long>(clock()) < target) {}
}

}  // namespace bc
