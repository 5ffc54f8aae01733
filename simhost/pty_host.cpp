#include "simhost/pty_host.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "platform/monotonic.h"
#include "simhost/backlog.h"

namespace bc::sim {

int64_t PtyHost::nowMs() { return monotonicUs() / 1000; }

bool PtyHost::open(std::string& error) {
    if (!pty_.open(error)) return false;
    clients_.watch(pty_.path());
    return true;
}

// Checked before every read of what clients sent: a client's open is
// reported before anything it writes, so bytes read afterwards are never
// those of one whose close is still unseen.
void PtyHost::dropWhatWasForAClientGone(SimPort& port) {
    if (!clients_.lastClientClosed()) return;
    port.dropPending();
    toClient_.clear();
    tcflush(pty_.slave(), TCIFLUSH);  // what was written and not read
}

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
    dropWhatWasForAClientGone(port);
    deliver(port);
    int64_t now = nowMs();
    int64_t next = port.nextByteAt(now);
    int timeout = waitMs;
    if (next >= 0 && next - now < timeout) timeout = int(next - now);
    // A client's close wakes the bench too, so that what was left for it
    // goes at once. A program that does not read what the bench sends is
    // not read from either (backlog.h).
    const bool taking = takesMore(toClient_.size(), port);
    const short events = short((taking ? POLLIN : 0) | (toClient_.empty() ? 0 : POLLOUT));
    pollfd p[2] = {{pty_.master(), events, 0}, {clients_.fd(), POLLIN, 0}};
    const bool ready = ::poll(p, clients_.fd() >= 0 ? 2 : 1, timeout) > 0;
    dropWhatWasForAClientGone(port);
    if (ready && taking && (p[0].revents & POLLIN)) {
        uint8_t buf[4096];
        ssize_t n = ::read(pty_.master(), buf, sizeof buf);
        DWORD written;
        if (n > 0) port.write(buf, DWORD(n), nowMs(), written);
        if (n > 0 && wireLog) fwrite(buf, 1, size_t(n), wireLog);
    }
    deliver(port);
}

}  // namespace bc::sim
