// A pseudo-terminal whose device side the test plays: the tool opens the
// slave through the real termios layer, the test reads and writes the master.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <string>

#include "platform/monotonic.h"

namespace bc::test {

class Pty {
public:
    Pty() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) slave_ = ptsname(master_);
        fcntl(master_, F_SETFL, O_NONBLOCK);
    }
    ~Pty() { closeMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return master_ >= 0 && !slave_.empty(); }
    const std::string& slavePath() const { return slave_; }
    int master() const { return master_; }

    void write(const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0)
                done += size_t(n);
            else {
                pollfd p{master_, POLLOUT, 0};
                poll(&p, 1, 100);
            }
        }
    }

    // Reads until `quietMs` pass without a byte, or `max` bytes have come.
    std::string readUntilQuiet(int quietMs, size_t max = 1 << 20) {
        std::string got;
        char buf[4096];
        while (got.size() < max) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, quietMs) <= 0) break;
            ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0) break;
            got.append(buf, size_t(n));
        }
        return got;
    }

    void closeMaster() {
        if (master_ >= 0) close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string slave_;
};

// The terminal at `path` opened raw and without waiting, as a program (or a
// device server) that holds it open and does not empty it at its open: what
// the far side writes then waits in its queue, and nothing echoes.
inline int openRaw(const std::string& path, int flags) {
    const int fd = open(path.c_str(), flags | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios t;
    if (fd >= 0 && tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
    return fd;
}

// Waits (at most 5 s) until exactly `count` bytes wait unread on the terminal.
inline testing::AssertionResult awaitWaiting(int fd, int count) {
    const int64_t end = monotonicUs() + 5000000;
    int waiting = -1;
    while (ioctl(fd, FIONREAD, &waiting) == 0 && waiting != count && monotonicUs() < end) usleep(1000);
    if (waiting == count) return testing::AssertionSuccess();
    return testing::AssertionFailure() << waiting << " bytes wait, not " << count;
}

// A moment on the platform's monotonic clock, and the milliseconds since one.
inline int64_t timeMark() { return monotonicUs(); }
inline double msSince(int64_t markUs) { return double(monotonicUs() - markUs) / 1000.0; }

}  // namespace bc::test
