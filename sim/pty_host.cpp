#include "sim/pty_host.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace bc::sim {

PtyHost::~PtyHost() {
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
}

bool PtyHost::open(std::string& error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + strerror(errno);
        return false;
    }
    path_ = ptsname(master_);
    slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        error = "cannot open " + path_ + ": " + strerror(errno);
        return false;
    }
    // Raw from the start, so that nothing is echoed back before the client
    // has configured the line itself.
    termios t;
    tcgetattr(slave_, &t);
    cfmakeraw(&t);
    tcsetattr(slave_, TCSANOW, &t);
    fcntl(master_, F_SETFL, O_NONBLOCK);
    return true;
}

int64_t PtyHost::nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void PtyHost::deliver(SimPort& port) {
    uint8_t buf[4096];
    DWORD got = 0;
    do {
        port.read(buf, sizeof buf, nowMs(), got);
        toClient_.append(reinterpret_cast<char*>(buf), got);
    } while (got == sizeof buf);
    while (!toClient_.empty()) {
        ssize_t n = ::write(master_, toClient_.data(), toClient_.size());
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
    pollfd p{master_, short(POLLIN | (toClient_.empty() ? 0 : POLLOUT)), 0};
    if (::poll(&p, 1, timeout) > 0 && (p.revents & POLLIN)) {
        uint8_t buf[4096];
        ssize_t n = ::read(master_, buf, sizeof buf);
        DWORD written;
        if (n > 0) port.write(buf, DWORD(n), nowMs(), written);
        if (n > 0 && wireLog) fwrite(buf, 1, size_t(n), wireLog);
    }
    deliver(port);
}

}  // namespace bc::sim
