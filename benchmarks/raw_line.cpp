#include "benchmarks/raw_line.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <vector>

#include "benchmarks/clock.h"

namespace bc::benchmarks {

RawLine::~RawLine() {
    if (fd_ >= 0) close(fd_);
}

bool RawLine::open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) return false;
    configure();
    return true;
}

void RawLine::configure() {
    termios t;
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, B19200);
    cfsetospeed(&t, B19200);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd_, TCSANOW, &t);
}

int64_t RawLine::roundTrip(uint8_t command, uint8_t value) {
    const uint8_t frame[2] = {command, value};
    uint8_t reply;
    const int64_t t0 = nowNs();
    if (::write(fd_, frame, 2) != 2) return -1;
    if (::read(fd_, &reply, 1) != 1) return -1;
    return nowNs() - t0;
}

int64_t RawLine::roundTripTimed(uint8_t command, uint8_t value) {
    const uint8_t frame[2] = {command, value};
    uint8_t reply;
    const int64_t t0 = nowNs();
    if (::write(fd_, frame, 2) != 2) return -1;
    pollfd p{fd_, POLLIN, 0};
    const timespec limit{1, 0};
    if (ppoll(&p, 1, &limit, nullptr) != 1) return -1;
    if (::read(fd_, &reply, 1) != 1) return -1;
    return nowNs() - t0;
}

RawLine::Reply RawLine::exchange(std::string_view request, size_t count, int silenceMs) {
    Reply r;
    std::vector<uint8_t> buf(count);
    const int64_t t0 = nowNs();
    if (::write(fd_, request.data(), request.size()) != ssize_t(request.size())) return r;
    while (r.bytes < count) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, silenceMs) != 1) break;
        const ssize_t n = ::read(fd_, buf.data() + r.bytes, count - r.bytes);
        if (n <= 0) break;
        r.bytes += size_t(n);
        r.lastByteNs = nowNs() - t0;
    }
    return r;
}

}  // namespace bc::benchmarks
