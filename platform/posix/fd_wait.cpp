#include "platform/posix/fd_wait.h"

#include <poll.h>

#include <cerrno>
#include <ctime>

#include "platform/interrupt.h"
#include "platform/monotonic.h"

namespace bc::posix {

// ppoll, not poll: a wait in whole milliseconds would either stop short of
// the deadline (and go round again for the rest) or overshoot it. A signal
// ends the wait early; the rest of it is waited after the signal is seen to.
int waitForEvents(int fd, short events, int64_t timeoutUs) {
    const int64_t deadline = timeoutUs < 0 ? -1 : monotonicUs() + timeoutUs;
    for (;;) {
        const int64_t left = deadline < 0 ? -1 : deadline - monotonicUs();
        if (deadline >= 0 && left < 0) return 0;
        pollfd p{fd, events, 0};
        const timespec wait{time_t(left / 1000000), long(left % 1000000) * 1000L};
        const int r = ::ppoll(&p, 1, left < 0 ? nullptr : &wait, nullptr);
        if (r < 0 && errno == EINTR) {
            endIfInterrupted();
            continue;
        }
        if (r < 0) return -1;
        return r == 0 ? 0 : p.revents;
    }
}

}  // namespace bc::posix
