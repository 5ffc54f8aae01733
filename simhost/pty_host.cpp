#include "simhost/pty_host.h"

#include <poll.h>
#include <unistd.h>

#include "platform/monotonic.h"
#include "simhost/backlog.h"

namespace bc::sim {

int64_t PtyHost::nowMs() { return monotonicUs() / 1000; }

void PtyHost::deliver(SimPort& port) {
    uint8_t buf[4096];
    DWORD got = 0;
    do {
        port.read(buf, sizeof buf, nowMs(), got);
        toClient_.append(reinterpret_cast<char*>(buf), got);
    } while (got == sizeof buf);
    while (!toClient_.empty()) {
        ssize_t n = ::write(pty_.master(), toClient_.data(), toClient_.size());
        if (n <= 0) break;  // the client is not reading: keep the rest
        toClient_.erase(0, size_t(n));
    }
}

void PtyHost::pump(SimPort& port, int waitMs) {
    deliver(port);
    int64_t now = nowMs();
    int64_t next = port.nextByteAt(now);
    int timeout = waitMs;
    if (next >= 0 && next - now < timeout) timeout = int(next - now);
    // A program that does not read what the bench sends is not read from
    // either (backlog.h).
    const bool taking = toClient_.size() + port.pendingBytes() < kBacklogMost;
    pollfd p{pty_.master(), short((taking ? POLLIN : 0) | (toClient_.empty() ? 0 : POLLOUT)), 0};
    if (::poll(&p, 1, timeout) > 0 && taking && (p.revents & POLLIN)) {
        uint8_t buf[4096];
        ssize_t n = ::read(pty_.master(), buf, sizeof buf);
        DWORD written;
        if (n > 0) port.write(buf, DWORD(n), nowMs(), written);
        if (n > 0 && wireLog) fwrite(buf, 1, size_t(n), wireLog);
    }
    deliver(port);
}

}  // namespace bc::sim
