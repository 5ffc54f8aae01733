// A TCP connection over POSIX sockets, non-blocking, waited on with ppoll to
// the microsecond.
#include "net/tcp_link.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/interrupt.h"
#include "platform/monotonic.h"
#include "platform/posix/fd_wait.h"

namespace bc::net {

namespace {

using posix::waitForEvents;

class PosixLink final : public TcpLink {
public:
    explicit PosixLink(int fd) : fd_(fd) {}
    ~PosixLink() override { ::close(fd_); }

    bool send(const uint8_t* bytes, size_t count, int64_t timeoutUs, size_t& sent) override {
        sent = 0;
        const int64_t deadline = timeoutUs < 0 ? -1 : monotonicUs() + timeoutUs;
        while (sent < count) {
            // MSG_NOSIGNAL: a connection the server dropped fails the call
            // instead of killing the program with SIGPIPE.
            const ssize_t n = ::send(fd_, bytes + sent, count - sent, MSG_NOSIGNAL);
            if (n > 0) {
                sent += size_t(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
            const int64_t left = deadline < 0 ? -1 : deadline - monotonicUs();
            if (deadline >= 0 && left <= 0) return true;
            const int r = waitForEvents(fd_, POLLOUT, left);
            if (r < 0 || (r & (POLLERR | POLLHUP | POLLNVAL))) return false;
        }
        return true;
    }

    bool receive(uint8_t* into, size_t max, size_t& got) override {
        got = 0;
        if (max == 0) return true;
        const ssize_t n = ::recv(fd_, into, max, 0);
        if (n > 0) got = size_t(n);
        if (n == 0) return false;  // the server closed the connection
        return n > 0 || errno == EAGAIN || errno == EINTR;
    }

    bool waitReadable(int64_t timeoutUs, bool& readable) override {
        const int r = waitForEvents(fd_, POLLIN, timeoutUs);
        readable = r > 0;  // a hang-up or error shows as the next receive's failure
        return r >= 0;
    }

private:
    int fd_;
};

// One address: a non-blocking connect that ends within the time left.
int connectOne(const addrinfo& a, int64_t deadline, int& err) {
    const int fd = ::socket(a.ai_family, a.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a.ai_protocol);
    if (fd < 0) {
        err = errno;
        return -1;
    }
    if (::connect(fd, a.ai_addr, a.ai_addrlen) != 0 && errno != EINPROGRESS) {
        err = errno;
        ::close(fd);
        return -1;
    }
    // Past the deadline (a slow name lookup, an earlier address) only looks:
    // a negative time would be no limit at all.
    const int r = waitForEvents(fd, POLLOUT, std::max<int64_t>(0, deadline - monotonicUs()));
    socklen_t len = sizeof err;
    if (r <= 0)
        err = r == 0 ? ETIMEDOUT : errno;
    else if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
        err = errno;
    if (err != 0) {
        ::close(fd);
        return -1;
    }
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

}  // namespace

std::unique_ptr<TcpLink> connectTcp(const std::string& host, uint16_t port, int timeoutMs, ConnectResult& result) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const int g = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
    if (g != 0) {
        const bool notFound = g == EAI_NONAME || g == EAI_NODATA || g == EAI_FAIL || g == EAI_AGAIN;
        result.outcome = notFound ? ConnectResult::Outcome::hostNotFound : ConnectResult::Outcome::failed;
        result.reason = g == EAI_SYSTEM ? std::strerror(errno) : gai_strerror(g);
        return nullptr;
    }
    const int64_t deadline = monotonicUs() + int64_t(timeoutMs) * 1000;
    int err = 0, fd = -1;
    for (addrinfo* a = list; a && fd < 0; a = a->ai_next) fd = connectOne(*a, deadline, err);
    freeaddrinfo(list);
    if (fd >= 0) {
        result = {ConnectResult::Outcome::connected, ""};
        return std::make_unique<PosixLink>(fd);
    }
    result.outcome = err == ECONNREFUSED ? ConnectResult::Outcome::refused
                     : err == ETIMEDOUT  ? ConnectResult::Outcome::timedOut
                                         : ConnectResult::Outcome::failed;
    result.reason = std::strerror(err);
    return nullptr;
}

}  // namespace bc::net
