// A TCP connection over Winsock, non-blocking, waited on with select (whose
// time-out is in microseconds). Waits without a limit are cut into slices so
// that Ctrl-C, noted on a thread of the system's, ends them.
#include "net/tcp_link.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/interrupt.h"
#include "platform/monotonic.h"
#include "platform/windows/kernel32.h"

namespace bc::net {

namespace {

constexpr int64_t kSliceUs = 100000;

std::string wsaText(int code) { return k32::errorText(uint32_t(code)); }

bool started() {
    static const bool ok = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ok;
}

// 1 when the socket is ready for `write` (or reading), 0 on time-out, -1 on
// failure; `failed` tells a connect that did not succeed.
int waitFor(SOCKET s, bool write, int64_t timeoutUs, bool* failed = nullptr) {
    const int64_t deadline = timeoutUs < 0 ? -1 : monotonicUs() + timeoutUs;
    for (;;) {
        int64_t left = deadline < 0 ? kSliceUs : deadline - monotonicUs();
        if (left < 0) return 0;
        if (left > kSliceUs) left = kSliceUs;
        fd_set ready, errors;
        FD_ZERO(&ready);
        FD_ZERO(&errors);
        FD_SET(s, &ready);
        FD_SET(s, &errors);
        timeval wait{long(left / 1000000), long(left % 1000000)};
        const int r = select(0, write ? nullptr : &ready, write ? &ready : nullptr, &errors, &wait);
        if (r == SOCKET_ERROR) return -1;
        if (failed) *failed = FD_ISSET(s, &errors);
        if (r > 0) return 1;
        endIfInterrupted();
        if (deadline >= 0 && monotonicUs() >= deadline) return 0;
    }
}

class WinsockLink final : public TcpLink {
public:
    explicit WinsockLink(SOCKET s) : s_(s) {}
    ~WinsockLink() override { closesocket(s_); }

    bool send(const uint8_t* bytes, size_t count, int64_t timeoutUs, size_t& sent) override {
        sent = 0;
        const int64_t deadline = timeoutUs < 0 ? -1 : monotonicUs() + timeoutUs;
        while (sent < count) {
            const int n = ::send(s_, reinterpret_cast<const char*>(bytes + sent), int(count - sent), 0);
            if (n > 0) {
                sent += size_t(n);
                continue;
            }
            if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
            const int64_t left = deadline < 0 ? -1 : deadline - monotonicUs();
            if (deadline >= 0 && left <= 0) return true;
            if (waitFor(s_, true, left) < 0) return false;
        }
        return true;
    }

    bool receive(uint8_t* into, size_t max, size_t& got) override {
        got = 0;
        if (max == 0) return true;
        const int n = ::recv(s_, reinterpret_cast<char*>(into), int(max), 0);
        if (n > 0) got = size_t(n);
        if (n == 0) return false;  // the server closed the connection
        return n > 0 || WSAGetLastError() == WSAEWOULDBLOCK;
    }

    bool waitReadable(int64_t timeoutUs, bool& readable) override {
        const int r = waitFor(s_, false, timeoutUs);
        readable = r > 0;
        return r >= 0;
    }

private:
    SOCKET s_;
};

SOCKET connectOne(const addrinfo& a, int64_t deadline, int& err) {
    SOCKET s = socket(a.ai_family, a.ai_socktype, a.ai_protocol);
    if (s == INVALID_SOCKET) {
        err = WSAGetLastError();
        return s;
    }
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    if (connect(s, a.ai_addr, int(a.ai_addrlen)) != 0 && WSAGetLastError() != WSAEWOULDBLOCK) {
        err = WSAGetLastError();
        closesocket(s);
        return INVALID_SOCKET;
    }
    bool failed = false;
    const int r = waitFor(s, true, deadline - monotonicUs(), &failed);
    err = 0;
    if (r == 0)
        err = WSAETIMEDOUT;
    else if (r < 0)
        err = WSAGetLastError();
    else if (failed) {
        int len = sizeof err;
        getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len);
        if (err == 0) err = WSAECONNREFUSED;
    }
    if (err != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    BOOL one = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    return s;
}

}  // namespace

std::unique_ptr<TcpLink> connectTcp(const std::string& host, uint16_t port, int timeoutMs, ConnectResult& result) {
    if (!started()) {
        result = {ConnectResult::Outcome::failed, "Winsock did not start"};
        return nullptr;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* list = nullptr;
    const int g = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
    if (g != 0) {
        const bool notFound = g == WSAHOST_NOT_FOUND || g == WSANO_DATA || g == WSATRY_AGAIN;
        result.outcome = notFound ? ConnectResult::Outcome::hostNotFound : ConnectResult::Outcome::failed;
        result.reason = wsaText(g);
        return nullptr;
    }
    const int64_t deadline = monotonicUs() + int64_t(timeoutMs) * 1000;
    int err = 0;
    SOCKET s = INVALID_SOCKET;
    for (addrinfo* a = list; a && s == INVALID_SOCKET; a = a->ai_next) s = connectOne(*a, deadline, err);
    freeaddrinfo(list);
    if (s != INVALID_SOCKET) {
        result = {ConnectResult::Outcome::connected, ""};
        return std::make_unique<WinsockLink>(s);
    }
    result.outcome = err == WSAECONNREFUSED ? ConnectResult::Outcome::refused
                     : err == WSAETIMEDOUT  ? ConnectResult::Outcome::timedOut
                                            : ConnectResult::Outcome::failed;
    result.reason = wsaText(err);
    return nullptr;
}

}  // namespace bc::net
