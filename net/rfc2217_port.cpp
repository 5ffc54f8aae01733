// rfc2217://HOST:PORT: a serial port served with Telnet COM Port Control
// (ser2net's telnet(rfc2217) accepter, most serial device servers). The line
// settings, break, RTS and DTR go to the server's port; the modem lines come
// back in its NOTIFY-MODEMSTATE. The answers the server owes are awaited for
// a bounded time, and the commands are sent within that same time; a server
// that does not answer some control at all is noticed at once
// (ComPortClient's probe) and not awaited again.
#include "net/rfc2217_port.h"

#include "net/network_port.h"
#include "net/rfc2217_client.h"

namespace bc::net {

using ports::OpenError;
using ports::Port;

namespace {

using namespace telnet;

// How long the server may take to agree to COM-PORT-OPTION, and to answer a
// setting: on any network a bench is reached over, far more than it needs.
constexpr int64_t kNegotiationUs = 2000000;
constexpr int64_t kAnswerUs = 1000000;

// PURGE-DATA's values: the server's receive buffer, its transmit buffer.
constexpr uint8_t kPurgeReceived = 1, kPurgeSent = 2, kPurgeBoth = kPurgeReceived | kPurgeSent;

uint8_t parityCode(BYTE parity) {
    static const uint8_t codes[] = {1, 2, 3, 4, 5};  // none, odd, even, mark, space
    return parity <= SPACEPARITY ? codes[parity] : 0;
}

uint8_t stopCode(BYTE stopBits) {
    return stopBits == ONESTOPBIT ? 1 : stopBits == TWOSTOPBITS ? 2 : stopBits == ONE5STOPBITS ? 3 : 0;
}

uint8_t flowCode(const DCB& d) {
    if (d.fOutxCtsFlow || d.fRtsControl == RTS_CONTROL_HANDSHAKE) return FLOW_HARDWARE;
    if (d.fOutX || d.fInX) return FLOW_XONXOFF;
    return FLOW_NONE;
}

// A value of a setting as RFC 2217 codes it, in words.
std::string settingWords(uint8_t command, uint32_t v) {
    static const char* const parity[] = {"no parity", "odd parity", "even parity", "mark parity", "space parity"};
    static const char* const stop[] = {"1 stop bit", "2 stop bits", "1.5 stop bits"};
    static const char* const flow[] = {"no flow control", "XON/XOFF flow control", "hardware flow control"};
    switch (command) {
    case SET_BAUDRATE: return std::to_string(v) + " baud";
    case SET_DATASIZE: return std::to_string(v) + " data bits";
    case SET_PARITY:
        if (v >= 1 && v <= 5) return parity[v - 1];
        break;
    case SET_STOPSIZE:
        if (v >= 1 && v <= 3) return stop[v - 1];
        break;
    case SET_CONTROL:
        if (v >= 1 && v <= 3) return flow[v - 1];
        break;
    default: break;
    }
    return "value " + std::to_string(v);
}

class Rfc2217Port final : public NetworkPort {
public:
    explicit Rfc2217Port(std::unique_ptr<net::TcpLink> link) : NetworkPort(std::move(link), true) {}

    // No error when the server agreed and answers; else why not.
    OpenError negotiate(const std::string& where);

    DWORD setState(const DCB& dcb) override;
    DWORD escape(DWORD func) override;
    DWORD modemStatus(DWORD& status) override {
        // Take the notifications that have come, without waiting for more.
        if (DWORD e = pump(0)) return e;
        status = client_.modemState() & kLineBits;
        return ERROR_SUCCESS;
    }
    DWORD purge(DWORD flags) override;
    std::string failureReason() override { return reason_.empty() ? NetworkPort::failureReason() : reason_; }

protected:
    size_t decode(const uint8_t* bytes, size_t count, uint8_t* data) override {
        replies_.clear();
        const size_t n = client_.receive(bytes, count, data, replies_);
        answer(replies_);
        return n;
    }

private:
    // Sends the batch in `batch_` and waits for its answers.
    DWORD sendAndAwait();
    DWORD purgeAtOpen();
    // A setting the server answered with another value, in words.
    std::string refusalWords(const ComPortClient::Refusal& r) const;

    ComPortClient client_;
    std::string batch_, replies_;
    std::string reason_;  // why the last call failed, beyond its code
};

OpenError Rfc2217Port::negotiate(const std::string& where) {
    batch_.clear();
    client_.start(batch_);
    const int64_t deadline = nowUs() + kNegotiationUs;
    sendBy(batch_, deadline);
    while (client_.comPort() == ComPortClient::Agreement::pending && !lost_ && nowUs() < deadline)
        pump(deadline - nowUs());
    if (client_.comPort() == ComPortClient::Agreement::accepted) {
        // Every change of the four lines is to be reported. ser2net agrees
        // to the option even when another client has the device, then says
        // so and closes the connection: a question it answers only when it
        // has the device open tells the two apart.
        batch_.clear();
        appendComPort(SET_MODEMSTATE_MASK, 0xFF, batch_);
        client_.askBaudRate(batch_);
        if (!sendAndAwait() && !purgeAtOpen()) return {};
        if (!lost_) return {ERROR_SEM_TIMEOUT, where + " did not answer a question about its port within 1 s"};
    }
    if (!givenUp().empty()) return {ERROR_GEN_FAILURE, where + " " + givenUp() + ": the connection was given up"};
    if (lost_) {
        // Most often the device is in use by another client.
        const std::string said = receivedText();
        const std::string saying = said.empty() ? "" : ", saying \"" + said + "\"";
        return {ERROR_ACCESS_DENIED, where + " closed the connection" + saying};
    }
    const std::string socketHint = " (for a raw TCP port use socket://" + where + ")";
    if (client_.comPort() == ComPortClient::Agreement::refused)
        return {ERROR_NOT_SUPPORTED,
                where + " refused the COM Port Control option: it does not speak RFC 2217" + socketHint};
    return {ERROR_NOT_SUPPORTED, where + " did not take up the Telnet negotiation within " +
                                     std::to_string(kNegotiationUs / 1000000) + " s: it does not speak RFC 2217" +
                                     socketHint};
}

// What the server's port received before this client came is no reply to
// anything it will ask: purged, as a Windows port opens empty, with what
// the server passed on before. A server that does not purge leaves the
// purge unanswered, which its answer to the question after it shows.
DWORD Rfc2217Port::purgeAtOpen() {
    const size_t stale = heldCount();
    batch_.clear();
    client_.purge(kPurgeBoth, batch_);
    client_.askBaudRate(batch_);
    const DWORD e = sendAndAwait();
    if (!e) dropHeld(stale);
    return e;
}

DWORD Rfc2217Port::sendAndAwait() {
    client_.endBatch(batch_);
    // The commands and their answers share one limit: a server that takes
    // neither in that time has not answered.
    const int64_t deadline = nowUs() + kAnswerUs;
    if (DWORD e = sendBy(batch_, deadline)) return e;
    while (client_.owing() && !lost_) {
        const int64_t left = deadline - nowUs();
        if (left <= 0) return client_.giveUp() ? ERROR_SEM_TIMEOUT : ERROR_SUCCESS;
        pump(left);
    }
    return lost_ ? ERROR_DEVICE_NOT_CONNECTED : ERROR_SUCCESS;
}

std::string Rfc2217Port::refusalWords(const ComPortClient::Refusal& r) const {
    return "the server answered " + settingWords(r.command, r.asked) + " with " + settingWords(r.command, r.took) +
           ", a setting its port cannot take";
}

DWORD Rfc2217Port::setState(const DCB& dcb) {
    reason_.clear();
    if (lost_) return ERROR_DEVICE_NOT_CONNECTED;
    const uint8_t parity = parityCode(dcb.Parity), stop = stopCode(dcb.StopBits);
    if (dcb.BaudRate == 0 || dcb.ByteSize < 5 || dcb.ByteSize > 8 || !parity || !stop) return ERROR_INVALID_PARAMETER;
    batch_.clear();
    client_.setBaudRate(dcb.BaudRate, batch_);
    client_.setting(SET_DATASIZE, dcb.ByteSize, batch_);
    client_.setting(SET_PARITY, parity, batch_);
    client_.setting(SET_STOPSIZE, stop, batch_);
    client_.setting(SET_CONTROL, flowCode(dcb), batch_);
    // The driver drives DTR and RTS from their control modes.
    if (dcb.fDtrControl != DTR_CONTROL_HANDSHAKE)
        client_.setting(SET_CONTROL, dcb.fDtrControl == DTR_CONTROL_ENABLE ? DTR_ON : DTR_OFF, batch_);
    if (dcb.fRtsControl == RTS_CONTROL_ENABLE || dcb.fRtsControl == RTS_CONTROL_DISABLE)
        client_.setting(SET_CONTROL, dcb.fRtsControl == RTS_CONTROL_ENABLE ? RTS_ON : RTS_OFF, batch_);
    if (DWORD e = sendAndAwait()) {
        if (e == ERROR_SEM_TIMEOUT) reason_ = "the server did not answer the line settings within 1 s";
        return e;
    }
    ComPortClient::Refusal refusal;
    if (client_.takeRefusal(&refusal)) {
        reason_ = refusalWords(refusal);
        return ERROR_INVALID_PARAMETER;
    }
    dcb_ = dcb;
    return ERROR_SUCCESS;
}

DWORD Rfc2217Port::escape(DWORD func) {
    if (lost_) return ERROR_DEVICE_NOT_CONNECTED;
    static const uint8_t controls[] = {0, 0, 0, RTS_ON, RTS_OFF, DTR_ON, DTR_OFF, 0, BREAK_ON, BREAK_OFF};
    if (func == RESETDEV) return ERROR_SUCCESS;
    // XON and XOFF by hand have no counterpart in the protocol.
    if (func == SETXON || func == SETXOFF) return ERROR_NOT_SUPPORTED;
    if (func >= sizeof controls || !controls[func]) return ERROR_INVALID_PARAMETER;
    batch_.clear();
    client_.setting(SET_CONTROL, controls[func], batch_);
    return sendAndAwait();
}

// The server drops what it holds; what reached us before its answer was
// in flight before the purge and is dropped too (ComPortClient).
DWORD Rfc2217Port::purge(DWORD flags) {
    if (lost_) return ERROR_DEVICE_NOT_CONNECTED;
    const uint8_t what =
        uint8_t(((flags & PURGE_RXCLEAR) ? kPurgeReceived : 0) | ((flags & PURGE_TXCLEAR) ? kPurgeSent : 0));
    if (!what) return ERROR_SUCCESS;
    if (what & kPurgeReceived) dropReceived();
    batch_.clear();
    client_.purge(what, batch_);
    return sendAndAwait();
}

}  // namespace

std::unique_ptr<Port> openRfc2217Port(std::unique_ptr<net::TcpLink> link, const std::string& where, OpenError& error) {
    auto port = std::make_unique<Rfc2217Port>(std::move(link));
    error = port->negotiate(where);
    if (error.code) return nullptr;
    return port;
}

}  // namespace bc::net
