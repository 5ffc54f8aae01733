// The one wait on a file descriptor that every POSIX port uses: a terminal
// device and a TCP connection alike.
#pragma once

#include <cstdint>

namespace bc::posix {

// Waits until `fd` has one of `events` (POLLIN, POLLOUT) or `timeoutUs`
// passes (-1: no limit; 0: only looks). Ctrl-C during the wait ends the
// process as at any wait. Returns the events that came, hang-up and error
// included (0 on time-out), or -1 with errno set.
int waitForEvents(int fd, short events, int64_t timeoutUs);

}  // namespace bc::posix
