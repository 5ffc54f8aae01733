// The real sleep on POSIX.
#include "platform/runtime.h"

#include <cerrno>
#include <ctime>

#include "platform/interrupt.h"

namespace bc {

// Signals interrupt the sleep; the rest is slept after each.
void sleepRealMs(unsigned long ms) {
    timespec left{time_t(ms / 1000), long(ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) endIfInterrupted();
}

}  // namespace bc
