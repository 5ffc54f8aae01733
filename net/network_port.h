// What both network kinds share: a PolledPort whose bytes come over a TCP
// connection. Received data waits in a buffer of our own, so that a read's
// time-out rules are the same as on a local port (polled_port.cpp) whatever
// else the server mixes into the stream; a connection that is lost fails every
// later call at once, as a device that vanished does.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "net/tcp_link.h"
#include "ports/driver_dcb.h"
#include "ports/polled_port.h"

namespace bc::net {

class NetworkPort : public ports::PolledPort {
public:
    // `telnet`: data bytes 255 are doubled on the way out.
    NetworkPort(std::unique_ptr<TcpLink> link, bool telnet);

    DWORD setupComm(DWORD, DWORD) override { return lost_ ? ERROR_DEVICE_NOT_CONNECTED : ERROR_SUCCESS; }
    DWORD getState(DCB& dcb) override {
        dcb = dcb_;
        return ERROR_SUCCESS;
    }
    DWORD setTimeouts(const COMMTIMEOUTS& t) override {
        timeouts = t;
        return ERROR_SUCCESS;
    }
    DWORD write(const uint8_t* bytes, DWORD count, DWORD& written) override;
    // What the server has sent is taken first, so that the queue holds all
    // that has reached this machine; a write leaves nothing behind.
    DWORD clearError(DWORD& errors, COMSTAT& stat) override;

    int64_t nowUs() override;
    DWORD readNow(uint8_t* into, DWORD max, DWORD& got) override;
    DWORD waitReadable(int64_t timeoutUs, bool& readable) override;
    void release() override {}

protected:
    // Turns bytes from the server into data bytes (`data` has room for
    // `count`); returns how many.
    virtual size_t decode(const uint8_t* bytes, size_t count, uint8_t* data) = 0;

    // Waits at most `timeoutUs` for the server (0: not at all), then takes
    // what it has sent. Fails once the connection is lost.
    DWORD pump(int64_t timeoutUs);
    // Sends protocol bytes, all of them.
    DWORD sendAll(const std::string& bytes);
    // The data received and not yet read, with what the connection still
    // held when it was lost, as text to quote in a message: what a server
    // says when it turns a client away.
    std::string receivedText();
    // Drops the data received and not yet read.
    void dropReceived() { inbound_.clear(), head_ = 0; }
    // How much data is received and not yet read; the first `count` of it dropped.
    size_t heldCount() const { return inbound_.size() - head_; }
    void dropHeld(size_t count);

    bool lost_ = false;
    DCB dcb_ = ports::freshDriverDcb();

private:
    std::unique_ptr<TcpLink> link_;
    const bool telnet_;
    std::vector<uint8_t> inbound_;  // data from head_ on is not yet read
    size_t head_ = 0;
    std::string out_;  // the encoded bytes of a write, kept for its capacity
};

}  // namespace bc::net
