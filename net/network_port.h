// What both network kinds share: a PolledPort whose bytes come over a TCP
// connection. Received data waits in a buffer of our own, so that a read's
// time-out rules are the same as on a local port (polled_port.cpp) whatever
// else the server mixes into the stream; a connection that is lost fails every
// later call at once, as a device that vanished does.
//
// No send waits without a limit: data goes within the write time-outs, the
// protocol's commands within the wait for their answers. What the server's
// own requests call for is queued and sent as the socket takes it; a server
// that asks far faster than it reads the answers is given up on, as a
// connection lost, rather than answered into a queue that never drains.
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
    // A connection given up on says why.
    std::string failureReason() override;

    // Answers to the server's requests not yet taken by the socket beyond
    // which the connection is given up.
    static constexpr size_t kMostUnsent = 16 * 1024;

protected:
    // Turns bytes from the server into data bytes (`data` has room for
    // `count`); returns how many.
    virtual size_t decode(const uint8_t* bytes, size_t count, uint8_t* data) = 0;

    // Waits at most `timeoutUs` for the server (0: not at all), then takes
    // what it has sent. Fails once the connection is lost.
    DWORD pump(int64_t timeoutUs);
    // Sends protocol bytes of our own, after whatever is still queued,
    // waiting for room until `deadlineUs` (on nowUs()'s clock) at most; what
    // has not gone by then stays queued, to go before anything sent later.
    DWORD sendBy(const std::string& bytes, int64_t deadlineUs);
    // Queues what a request of the server calls for, sent as the socket
    // takes it, without waiting.
    void answer(const std::string& bytes);
    // The data received and not yet read, with what the connection still
    // held when it was lost, as text to quote in a message: what a server
    // says when it turns a client away.
    std::string receivedText();
    // Waits until the server closes the connection or `timeoutUs` passes,
    // taking what comes meanwhile; true when it closed.
    bool closesWithin(int64_t timeoutUs);
    // Drops the data received and not yet read.
    void dropReceived() { inbound_.clear(), head_ = 0; }
    // How much data is received and not yet read; the first `count` of it dropped.
    size_t heldCount() const { return inbound_.size() - head_; }
    void dropHeld(size_t count);

    // True once the server closed the connection, or it was given up on
    // (then `givenUp()` says why).
    bool lost_ = false;
    const std::string& givenUp() const { return givenUp_; }

    DCB dcb_ = ports::freshDriverDcb();

private:
    // Sends what is queued until `deadlineUs` (-1: no limit; nowUs(): only
    // what the socket takes at once). False when it has not all gone.
    bool flushUnsent(int64_t deadlineUs);
    // Takes one piece from the socket and decodes it into inbound_.
    void takePiece(size_t room);

    std::unique_ptr<TcpLink> link_;
    const bool telnet_;
    std::vector<uint8_t> inbound_;  // data from head_ on is not yet read
    size_t head_ = 0;
    std::string out_;     // the encoded bytes of a write, kept for its capacity
    std::string unsent_;  // protocol bytes, and the rest of a doubled 255, to go first
    std::string givenUp_;
};

}  // namespace bc::net
