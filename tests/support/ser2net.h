// Port servers for the network tests: Debian's ser2net (sim/ser2net_process.h),
// and a port nothing listens on.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

#include "testkit/ser2net_process.h"

namespace bc::test {

using sim::Ser2net;

// A port of 127.0.0.1 that nothing listens on: bound and held, never
// listened on, so that a connection to it is refused and no other program
// can take it meanwhile.
class RefusingPort {
public:
    RefusingPort() {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
            getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) == 0)
            port = ntohs(a.sin_port);
    }
    ~RefusingPort() { close(fd_); }
    uint16_t port = 0;

private:
    int fd_;
};

}  // namespace bc::test
