#include "simhost/net_host.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "simhost/backlog.h"
#include "simhost/pty_host.h"

namespace bc::sim {

NetHost::~NetHost() {
    dropClient();
    if (listen_ >= 0) close(listen_);
}

bool NetHost::open(const net::NetworkAddress& a, std::string& error) {
    rfc2217_ = a.rfc2217;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* list = nullptr;
    if (int g = getaddrinfo(a.host.c_str(), std::to_string(a.port).c_str(), &hints, &list)) {
        error = "cannot listen on " + a.host + ": " + gai_strerror(g);
        return false;
    }
    listen_ = socket(list->ai_family, list->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, list->ai_protocol);
    int one = 1;
    if (listen_ >= 0) setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    const bool ok = listen_ >= 0 && bind(listen_, list->ai_addr, list->ai_addrlen) == 0 && listen(listen_, 4) == 0;
    freeaddrinfo(list);
    if (!ok) {
        error = "cannot listen on " + a.host + ":" + std::to_string(a.port) + ": " + strerror(errno);
        return false;
    }
    sockaddr_storage bound{};
    socklen_t len = sizeof bound;
    getsockname(listen_, reinterpret_cast<sockaddr*>(&bound), &len);
    const uint16_t port = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(bound).sin6_port
                                                            : reinterpret_cast<sockaddr_in&>(bound).sin_port);
    const bool v6 = a.host.find(':') != std::string::npos;
    url_ = std::string(rfc2217_ ? "rfc2217://" : "socket://") + (v6 ? "[" + a.host + "]" : a.host) + ":" +
           std::to_string(port);
    return true;
}

void NetHost::dropClient() {
    if (client_ >= 0) close(client_);
    client_ = -1;
    toClient_.clear();
    stalledSince_ = -1;
}

// One client at a time. A client that closes and at once connects again
// (the main sequence opens the port twice) has its new connection waiting
// beside the end of the old one: the old one's last bytes and its end are
// taken first, so that it is not mistaken for a client still there.
void NetHost::accept(SimPort& port) {
    const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    pollfd old{client_, POLLIN, 0};
    while (client_ >= 0 && ::poll(&old, 1, 0) > 0) {
        fromClient(port);
        old.fd = client_;
    }
    if (client_ >= 0) {
        close(fd);
        return;
    }
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    client_ = fd;
    server_ = ComPortServer();
    if (rfc2217_) server_.start(toClient_);
}

void NetHost::fromClient(SimPort& port) {
    uint8_t buf[4096];
    const ssize_t n = ::recv(client_, buf, sizeof buf, 0);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
        // Replies still on their way were for the client that has gone.
        dropClient();
        port.dropPending();
        return;
    }
    if (n < 0) return;
    const uint64_t before = port.receivedTotal();
    if (rfc2217_) {
        server_.receive(buf, size_t(n), port, PtyHost::nowMs(), toClient_);
    } else {
        DWORD written;
        port.write(buf, DWORD(n), PtyHost::nowMs(), written);
    }
    if (wireLog) {
        // The port keeps only the latest of what it received: what came now
        // is at its end.
        const size_t n = size_t(std::min<uint64_t>(port.receivedTotal() - before, port.received.size()));
        fwrite(port.received.data() + port.received.size() - n, 1, n, wireLog);
    }
}

void NetHost::deliver(SimPort& port) {
    uint8_t buf[4096];
    DWORD got = 0;
    do {
        port.read(buf, sizeof buf, PtyHost::nowMs(), got);
        // With no client the devices' bytes go nowhere, as on an unplugged line.
        if (client_ < 0) continue;
        if (rfc2217_)
            ComPortServer::data(buf, got, toClient_);
        else
            toClient_.append(reinterpret_cast<char*>(buf), got);
    } while (got == sizeof buf);
    while (client_ >= 0 && !toClient_.empty()) {
        const ssize_t n = ::send(client_, toClient_.data(), toClient_.size(), MSG_NOSIGNAL);
        if (n <= 0) break;  // the client is not reading: keep the rest
        toClient_.erase(0, size_t(n));
        stalledSince_ = -1;
    }
}

void NetHost::dropIfStalled(SimPort& port) {
    if (client_ < 0 || takesMore(toClient_.size(), port)) {
        stalledSince_ = -1;
        return;
    }
    const int64_t now = PtyHost::nowMs();
    if (stalledSince_ < 0) stalledSince_ = now;
    if (now - stalledSince_ < kStalledMs) return;
    // What the devices still have on its way was asked for by this client.
    dropClient();
    port.dropPending();
}

void NetHost::pump(SimPort& port, int waitMs) {
    deliver(port);
    dropIfStalled(port);
    const int64_t now = PtyHost::nowMs();
    const int64_t next = port.nextByteAt(now);
    int timeout = waitMs;
    if (next >= 0 && next - now < timeout) timeout = int(next - now);
    // A client that does not read what the bench sends is not read from
    // either; its going is still seen (POLLHUP and POLLERR always are).
    const bool taking = takesMore(toClient_.size(), port);
    const short events = short((taking ? POLLIN : 0) | (toClient_.empty() ? 0 : POLLOUT));
    pollfd p[2] = {{listen_, POLLIN, 0}, {client_, events, 0}};
    if (::poll(p, client_ >= 0 ? 2 : 1, timeout) > 0) {
        if (p[0].revents & POLLIN)
            accept(port);
        else if (client_ >= 0 && (p[1].revents & (POLLIN | POLLHUP | POLLERR)))
            fromClient(port);
    }
    deliver(port);
}

}  // namespace bc::sim
