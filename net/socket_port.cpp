// socket://HOST:PORT: raw bytes over TCP, as a port server's plain TCP
// accepter or a serial-to-Ethernet bridge carries them. The line settings
// are the server's own: they are kept and reported, and change nothing. The
// modem-control lines are out of reach, as on a pseudo-terminal.
#include "net/socket_port.h"

#include "net/network_port.h"

namespace bc::net {

using ports::OpenError;
using ports::Port;

namespace {

class SocketPort final : public NetworkPort {
public:
    explicit SocketPort(std::unique_ptr<net::TcpLink> link) : NetworkPort(std::move(link), false) {}

    DWORD setState(const DCB& dcb) override {
        if (lost_) return ERROR_DEVICE_NOT_CONNECTED;
        dcb_ = dcb;
        return ERROR_SUCCESS;
    }
    DWORD escape(DWORD func) override {
        if (func == RESETDEV) return ERROR_SUCCESS;
        return func >= SETXOFF && func <= CLRBREAK ? ERROR_INVALID_FUNCTION : ERROR_INVALID_PARAMETER;
    }
    DWORD modemStatus(DWORD&) override { return ERROR_INVALID_FUNCTION; }
    bool endsWithin(int64_t timeoutUs) { return closesWithin(timeoutUs); }
    std::string said() { return receivedText(); }
    // What has come is dropped; what is still on its way arrives later, as
    // on a real line.
    DWORD purge(DWORD flags) override {
        if (lost_) return ERROR_DEVICE_NOT_CONNECTED;
        if (flags & PURGE_RXCLEAR) {
            pump(0);
            dropReceived();
        }
        return ERROR_SUCCESS;
    }

protected:
    size_t decode(const uint8_t* bytes, size_t count, uint8_t* data) override {
        std::copy(bytes, bytes + count, data);
        return count;
    }
};

}  // namespace

std::unique_ptr<Port> openSocketPort(std::unique_ptr<net::TcpLink> link, const std::string& where, int64_t momentUs,
                                     OpenError& error) {
    auto port = std::make_unique<SocketPort>(std::move(link));
    // Raw TCP has no question to ask the server; a server that turns a
    // client away says so at once and closes. Whatever else comes meanwhile
    // is the device's, and stays to be read.
    if (!port->endsWithin(momentUs)) {
        error = {};
        return port;
    }
    const std::string said = port->said();
    error = {ERROR_ACCESS_DENIED, where + " closed the connection as soon as it was made" +
                                      (said.empty() ? "" : ", saying \"" + said + "\"")};
    return nullptr;
}

}  // namespace bc::net
