// A TCP connection to a port server, the one thing the network ports need
// from the operating system: POSIX sockets in platform/posix, Winsock in
// platform/windows. Plain C++ types only, so that it can be implemented next
// to <winsock2.h> without meeting our Win32 declarations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace bc::net {

class TcpLink {
public:
    virtual ~TcpLink() = default;
    // Sends what the socket takes, waiting for room at most `timeoutUs` (-1:
    // no limit); `sent` says how much went. False when the connection is lost.
    virtual bool send(const uint8_t* bytes, size_t count, int64_t timeoutUs, size_t& sent) = 0;
    // Takes what has arrived, without waiting (0 bytes is no failure). False
    // when the connection is lost, the far end's close included.
    virtual bool receive(uint8_t* into, size_t max, size_t& got) = 0;
    // Waits until something can be received (or the connection has ended)
    // or `timeoutUs` passes. False when the wait itself fails.
    virtual bool waitReadable(int64_t timeoutUs, bool& readable) = 0;
};

struct ConnectResult {
    enum class Outcome { connected, hostNotFound, refused, timedOut, failed };
    Outcome outcome = Outcome::failed;
    std::string reason;  // the system's words, for the failures
};

// Connects (with TCP_NODELAY: every small exchange goes out at once), giving
// up after `timeoutMs`.
std::unique_ptr<TcpLink> connectTcp(const std::string& host, uint16_t port, int timeoutMs, ConnectResult& result);

}  // namespace bc::net
