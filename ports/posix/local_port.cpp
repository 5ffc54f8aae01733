// A real terminal device: a serial port, a USB serial adapter or a
// pseudo-terminal, opened with Windows' exclusive-open semantics.
#include "ports/local_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/interrupt.h"
#include "platform/monotonic.h"
#include "platform/posix/errno_codes.h"
#include "platform/posix/fd_wait.h"
#include "platform/posix/termios_dcb.h"
#include "ports/driver_dcb.h"
#include "ports/polled_port.h"

namespace bc::ports {

using posix::dcbFromTermios;
using posix::termiosFromDcb;
using posix::winErrorFromErrno;

namespace {

// What a device path that is no terminal names, for the message that says
// why it cannot be the port.
std::string notATerminal(int fd) {
    struct stat st {};
    const char* kind = "a file that is not a terminal";
    if (fstat(fd, &st) == 0) {
        if (S_ISREG(st.st_mode)) kind = "a regular file";
        if (S_ISFIFO(st.st_mode)) kind = "a FIFO";
        if (S_ISSOCK(st.st_mode)) kind = "a socket";
        if (S_ISBLK(st.st_mode)) kind = "a block device";
        if (S_ISCHR(st.st_mode)) kind = "a character device that is not a terminal";
    }
    return std::string("not a serial port but ") + kind;
}

class TtyPort final : public PolledPort {
public:
    explicit TtyPort(int fd) : fd_(fd) {
        termios t;
        if (tcgetattr(fd_, &t) == 0) dcbFromTermios(t, dcb_);
        int lines;
        hasModemLines_ = ioctl(fd_, TIOCMGET, &lines) == 0;
        if (!isatty(fd_)) notTerminal_ = notATerminal(fd_);
    }
    ~TtyPort() override {
        release();
        close(fd_);
    }

    DWORD setupComm(DWORD, DWORD) override {
        // Linux sizes its own queues; only a terminal takes the request.
        return notTerminal_.empty() ? ERROR_SUCCESS : winErrorFromErrno(ENOTTY);
    }

    DWORD getState(DCB& dcb) override {
        termios t;
        if (tcgetattr(fd_, &t) != 0) return winErrorFromErrno(errno);
        dcbFromTermios(t, dcb_);
        dcb = dcb_;
        return ERROR_SUCCESS;
    }

    DWORD setState(const DCB& dcb) override {
        termios t;
        if (tcgetattr(fd_, &t) != 0) return winErrorFromErrno(errno);
        if (DWORD e = termiosFromDcb(dcb, t)) return e;
        if (tcsetattr(fd_, TCSANOW, &t) != 0) return winErrorFromErrno(errno);
        applyLineControl(dcb);
        dcb_ = dcb;
        return ERROR_SUCCESS;
    }

    DWORD setTimeouts(const COMMTIMEOUTS& t) override {
        timeouts = t;
        return ERROR_SUCCESS;
    }

    DWORD escape(DWORD func) override {
        if (const posix::LineControl* c = posix::lineControlFor(func)) return lineIoctl(c->request, c->bits);
        switch (func) {
        case SETXOFF: return tcflow(fd_, TCOOFF) == 0 ? ERROR_SUCCESS : winErrorFromErrno(errno);
        case SETXON: return tcflow(fd_, TCOON) == 0 ? ERROR_SUCCESS : winErrorFromErrno(errno);
        case RESETDEV: return ERROR_SUCCESS;
        default: return ERROR_INVALID_PARAMETER;
        }
    }

    DWORD modemStatus(DWORD& status) override {
        int lines;
        if (ioctl(fd_, TIOCMGET, &lines) != 0) return winErrorFromErrno(errno);
        status = posix::modemStatusFromLines(lines);
        return ERROR_SUCCESS;
    }

    DWORD purge(DWORD flags) override {
        const bool in = flags & PURGE_RXCLEAR, out = flags & PURGE_TXCLEAR;
        if (!in && !out) return ERROR_SUCCESS;
        return tcflush(fd_, in && out ? TCIOFLUSH
                            : in      ? TCIFLUSH
                                      : TCOFLUSH) == 0
                   ? ERROR_SUCCESS
                   : winErrorFromErrno(errno);
    }

    // Linux reports no line errors to a reader in raw mode (they would come
    // as marked bytes with PARMRK): only the queues are known.
    DWORD clearError(DWORD& errors, COMSTAT& stat) override {
        int in = 0, out = 0;
        if (ioctl(fd_, FIONREAD, &in) != 0) return winErrorFromErrno(errno);
        if (ioctl(fd_, TIOCOUTQ, &out) != 0) out = 0;  // a pseudo-terminal may not say
        errors = 0;
        stat = COMSTAT{};
        stat.cbInQue = DWORD(in);
        stat.cbOutQue = DWORD(out);
        return ERROR_SUCCESS;
    }

    DWORD write(const uint8_t* bytes, DWORD count, DWORD& written) override;
    // Every serial call fails on a file that is no terminal; say what it is.
    std::string failureReason() override { return notTerminal_; }

    int64_t nowUs() override { return monotonicUs(); }

    DWORD readNow(uint8_t* into, DWORD max, DWORD& got) override {
        got = 0;
        ssize_t n = ::read(fd_, into, max);
        if (n > 0) {
            got = DWORD(n);
            return ERROR_SUCCESS;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return ERROR_SUCCESS;
        if (n < 0) return winErrorFromErrno(errno);
        // A raw terminal reads 0 both when nothing is there and after a
        // hang-up; only the latter shows in poll.
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) return ERROR_DEVICE_NOT_CONNECTED;
        return ERROR_SUCCESS;
    }

    DWORD waitReadable(int64_t timeoutUs, bool& readable) override { return waitFor(POLLIN, timeoutUs, readable); }

    void release() override {
        if (released_) return;
        released_ = true;
        // A pseudo-terminal keeps TIOCEXCL after the close while its other
        // side stays open, which would lock out the next non-root open.
        ioctl(fd_, TIOCNXCL);
        flock(fd_, LOCK_UN);
    }

private:
    DWORD lineIoctl(unsigned long request, int bits) {
        // A device without modem-control lines (a pseudo-terminal) cannot
        // raise lines or send a break; the kernel would accept a break
        // silently, so say so here instead.
        if (!hasModemLines_) return ERROR_INVALID_FUNCTION;
        int r = bits ? ioctl(fd_, request, &bits) : ioctl(fd_, request);
        return r == 0 ? ERROR_SUCCESS : winErrorFromErrno(errno);
    }

    // Windows drives DTR and RTS from the control modes when the state is set.
    void applyLineControl(const DCB& dcb) {
        if (!hasModemLines_) return;
        int dtr = TIOCM_DTR, rts = TIOCM_RTS;
        if (dcb.fDtrControl == DTR_CONTROL_ENABLE) ioctl(fd_, TIOCMBIS, &dtr);
        if (dcb.fDtrControl == DTR_CONTROL_DISABLE) ioctl(fd_, TIOCMBIC, &dtr);
        if (dcb.fRtsControl == RTS_CONTROL_ENABLE) ioctl(fd_, TIOCMBIS, &rts);
        if (dcb.fRtsControl == RTS_CONTROL_DISABLE) ioctl(fd_, TIOCMBIC, &rts);
    }

    DWORD waitFor(short events, int64_t timeoutUs, bool& ready);

    int fd_;
    DCB dcb_ = freshDriverDcb();
    bool hasModemLines_ = false;
    bool released_ = false;
    std::string notTerminal_;
};

DWORD TtyPort::waitFor(short events, int64_t timeoutUs, bool& ready) {
    const int r = posix::waitForEvents(fd_, events, timeoutUs);
    ready = r > 0 && (r & events);
    if (r < 0) return winErrorFromErrno(errno);
    // Hang-up or error with nothing left to read: the device is gone.
    if (r > 0 && !ready) return ERROR_DEVICE_NOT_CONNECTED;
    return ERROR_SUCCESS;
}

DWORD TtyPort::write(const uint8_t* bytes, DWORD count, DWORD& written) {
    written = 0;
    const COMMTIMEOUTS& t = timeouts;
    const int64_t totalUs = totalTimeoutUs(t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant, count);
    const bool limited = totalUs >= 0;
    const int64_t deadline = monotonicUs() + totalUs;
    while (written < count) {
        ssize_t n = ::write(fd_, bytes + written, count - written);
        if (n > 0) {
            written += DWORD(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return winErrorFromErrno(errno);
        int64_t left = limited ? deadline - monotonicUs() : -1;
        if (limited && left <= 0) break;  // a write time-out is not an error
        bool ready;
        if (DWORD e = waitFor(POLLOUT, left, ready)) return e;
    }
    return ERROR_SUCCESS;
}

}  // namespace

std::unique_ptr<Port> openLocalPort(const std::string& device, OpenError& error) {
    int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int err = errno;
        error.code = winErrorFromErrno(err);
        error.reason = std::strerror(err);
        if (err == EACCES) error.reason += " (on Linux, serial devices belong to the dialout group)";
        return nullptr;
    }
    // Share mode 0: a second open must fail, for root too, whom TIOCEXCL
    // does not stop.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        error.code = ERROR_ACCESS_DENIED;
        error.reason = "in use by another program";
        return nullptr;
    }
    if (isatty(fd)) ioctl(fd, TIOCEXCL);
    // A Windows COM port opens with empty queues; a terminal keeps what came
    // while no program had it open (a reply to a program that has gone),
    // which would be taken for the first reply of this one.
    if (isatty(fd)) tcflush(fd, TCIOFLUSH);
    error = {};
    return std::make_unique<TtyPort>(fd);
}

}  // namespace bc::ports
