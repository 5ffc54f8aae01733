#include "app/delay.h"

#include "platform/platform.h"

namespace bc {

// A busy-wait on purpose: the devices are paced in whole milliseconds and
// the tool has nothing else to do meanwhile. The target is held in 64 bits
// so that it cannot overflow where the clock nears the top of its range.
void delayMs(int ticks) {
    const long long target = static_cast<long long>(clock()) + ticks;
    while (static_cast<long long>(clock()) < target) {
    }
}

}  // namespace bc
