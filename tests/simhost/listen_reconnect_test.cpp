// benchcom-sim's network server, driven step by step in this process.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "sim/sim_port.h"
#include "simhost/net_host.h"

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

}  // namespace
}  // namespace bc::sim
