// benchcom-sim's network server, driven step by step in this process.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "sim/iss_rig.h"
#include "sim/sim_port.h"
#include "simhost/net_host.h"
#include "simhost/pty_host.h"

namespace bc::sim {
namespace {

int connectTo(uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    return fd;
}

uint16_t portOf(const std::string& url) { return uint16_t(std::stoi(url.substr(url.rfind(':') + 1))); }

// The main sequence closes the port and opens it again at once, so the new
// connection is waiting before the server has seen the old one end. The new
// one must be served (an RFC 2217 server opens with its Telnet
// negotiation, IAC first), not turned away as a second client.
TEST(SimListener, AClientThatConnectsAgainAtOnceIsServed) {
    NetHost host;
    net::NetworkAddress address;
    std::string error;
    ASSERT_TRUE(net::parseNetworkAddress("rfc2217://127.0.0.1:0", address));
    ASSERT_TRUE(host.open(address, error)) << error;
    SimPort port;

    const int first = connectTo(portOf(host.url()));
    host.pump(port, 1000);  // takes the first client
    close(first);
    const int second = connectTo(portOf(host.url()));
    for (int i = 0; i < 3; ++i) host.pump(port, 100);

    pollfd p{second, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 2000), 1);
    unsigned char byte = 0;
    EXPECT_EQ(recv(second, &byte, 1, 0), 1) << "the server closed the new connection";
    EXPECT_EQ(byte, 0xFF);
    close(second);
}

// A reply still on its way when its client closes the connection was for
// that client: the next one gets its own replies only. (Raw bytes, so that
// nothing else comes; the adapter answers 300 ms after a frame.)
TEST(SimListener, AReplyForAClientThatClosedReachesNoOther) {
    NetHost host;
    net::NetworkAddress address;
    std::string error;
    ASSERT_TRUE(net::parseNetworkAddress("socket://127.0.0.1:0", address));
    ASSERT_TRUE(host.open(address, error)) << error;
    IssRig rig;
    rig.adapter.replyDelayMs = 300;
    SimPort port;
    port.peer = &rig.adapter;

    const int first = connectTo(portOf(host.url()));
    ASSERT_EQ(send(first, "\x5A\x01", 2, 0), 2);
    for (int i = 0; i < 100 && port.received.size() < 2; ++i) host.pump(port, 50);
    ASSERT_EQ(port.received.size(), 2u);
    close(first);
    const int second = connectTo(portOf(host.url()));
    const int64_t end = PtyHost::nowMs() + 600;
    while (PtyHost::nowMs() < end) host.pump(port, 50);
    pollfd p{second, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 0), 0) << "the first client's reply reached the second";
    ASSERT_EQ(send(second, "\x5A\x01", 2, 0), 2);
    std::string got;
    for (int i = 0; i < 100 && got.size() < 3; ++i) {
        host.pump(port, 50);
        char buf[16];
        if (poll(&p, 1, 0) == 1) {
            const ssize_t n = recv(second, buf, sizeof buf, 0);
            if (n <= 0) break;
            got.append(buf, size_t(n));
        }
    }
    EXPECT_EQ(got, "\x07\x05\x40");
    close(second);
}

}  // namespace
}  // namespace bc::sim
