// A port server's address as people write it: rfc2217://HOST:PORT or
// socket://HOST:PORT, read the same way wherever one is given (BENCHCOM_PORT,
// benchcom-sim --listen).
#pragma once

#include <cstdint>
#include <string>

namespace bc::net {

struct NetworkAddress {
    bool rfc2217 = true;  // else raw bytes (socket://)
    std::string host;     // a name or an address; an IPv6 address without its brackets
    uint16_t port = 0;    // 0 only where a free port is wanted (a listening server)
};

// True for "rfc2217://" or "socket://" followed by HOST:PORT, the host not
// empty (an IPv6 address in brackets) and the port a number of at most five
// digits from 0 to 65535.
bool parseNetworkAddress(const std::string& text, NetworkAddress& address);

// True when `text` starts with one of the two schemes.
bool hasNetworkScheme(const std::string& text);

}  // namespace bc::net
