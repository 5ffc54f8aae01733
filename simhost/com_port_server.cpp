#include "simhost/com_port_server.h"

namespace bc::sim {

using namespace net::telnet;

namespace {

uint8_t lineBits(SimPort& port) {
    DWORD status = 0;
    port.modemStatus(status);
    return uint8_t(status & kLineBits);
}

// The DCB to change one setting in: the port's, with the control modes
// matching the lines as they are, so that setting it leaves RTS and DTR
// where break, RTS and DTR commands put them.
DCB currentDcb(const SimPort& port) {
    DCB d = port.dcb;
    d.fDtrControl = port.dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    d.fRtsControl = port.rts ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    return d;
}

}  // namespace

void ComPortServer::start(std::string& out) {
    for (uint8_t option : {OPT_BINARY, OPT_SUPPRESS_GO_AHEAD}) {
        options_.accept(option, true, true);
        options_.ask(option, true, out);
        options_.ask(option, false, out);
    }
    options_.accept(OPT_COM_PORT, false, true);
    options_.ask(OPT_COM_PORT, false, out);
}

void ComPortServer::receive(const uint8_t* bytes, size_t count, SimPort& port, int64_t now, std::string& out) {
    port_ = &port;
    now_ = now;
    out_ = &out;
    // Data and commands take effect in the order they came.
    uint8_t data[256];
    for (size_t at = 0; at < count; at += sizeof data) {
        const size_t piece = count - at < sizeof data ? count - at : sizeof data;
        const size_t n = decoder_.feed(bytes + at, piece, data, *this);
        DWORD written = 0;
        if (n) port.write(data, DWORD(n), now, written);
    }
    out_ = nullptr;
}

void ComPortServer::negotiation(uint8_t verb, uint8_t option) { options_.answer(verb, option, *out_); }

void ComPortServer::reportModemLines(SimPort& port, std::string& out) {
    const uint8_t lines = lineBits(port);
    if (reported_ && lines == lines_) return;
    const uint8_t changed = lines ^ lines_;
    // The "changed" bits: CTS, DSR, the trailing edge of ring, carrier detect.
    const uint8_t deltas =
        uint8_t(((changed & kCts) ? 0x01 : 0) | ((changed & kDsr) ? 0x02 : 0) |
                ((changed & kRing) && !(lines & kRing) ? 0x04 : 0) | ((changed & kCarrierDetect) ? 0x08 : 0));
    lines_ = lines;
    reported_ = true;
    appendComPort(uint8_t(NOTIFY_MODEMSTATE + kServerOffset), uint8_t((lines | deltas) & modemMask_), out);
}

void ComPortServer::answer(uint8_t command, uint8_t value) {
    appendComPort(uint8_t(command + kServerOffset), value, *out_);
}

uint8_t ComPortServer::control(uint8_t value) {
    SimPort& p = *port_;
    static const DWORD escapes[] = {0, 0, 0, 0, 0, SETBREAK, CLRBREAK, 0, SETDTR, CLRDTR, 0, SETRTS, CLRRTS};
    if (value < sizeof escapes / sizeof escapes[0] && escapes[value]) p.escape(escapes[value], now_);
    if (value >= FLOW_NONE && value <= FLOW_HARDWARE) {
        DCB d = currentDcb(p);
        d.fOutX = d.fInX = value == FLOW_XONXOFF;
        d.fOutxCtsFlow = value == FLOW_HARDWARE;
        p.setState(d);
    }
    reportModemLines(p, *out_);
    if (value <= FLOW_HARDWARE) return p.dcb.fOutxCtsFlow ? FLOW_HARDWARE : p.dcb.fOutX ? FLOW_XONXOFF : FLOW_NONE;
    if (value <= BREAK_OFF) return p.breakOn ? BREAK_ON : BREAK_OFF;
    if (value <= DTR_OFF) return p.dtr ? DTR_ON : DTR_OFF;
    return p.rts ? RTS_ON : RTS_OFF;
}

void ComPortServer::subnegotiation(uint8_t option, const uint8_t* p, size_t size) {
    if (option != OPT_COM_PORT || size == 0) return;
    SimPort& port = *port_;
    const uint8_t command = p[0];
    const uint8_t value = size > 1 ? p[1] : 0;
    DCB d = currentDcb(port);
    switch (command) {
    case SIGNATURE:
        if (size == 1) {
            static const char name[] = "benchcom-sim";
            appendComPort(SIGNATURE + kServerOffset, reinterpret_cast<const uint8_t*>(name), sizeof name - 1, *out_);
        }
        break;
    case SET_BAUDRATE:
        if (size < 5) break;
        if (read32(p + 1)) d.BaudRate = read32(p + 1), port.setState(d);
        appendComPort32(SET_BAUDRATE + kServerOffset, port.dcb.BaudRate, *out_);
        break;
    case SET_DATASIZE:
        if (value >= 5 && value <= 8) d.ByteSize = value, port.setState(d);
        answer(command, port.dcb.ByteSize);
        break;
    case SET_PARITY:
        if (value >= 1 && value <= 5) d.Parity = BYTE(value - 1), port.setState(d);
        answer(command, uint8_t(port.dcb.Parity + 1));
        break;
    case SET_STOPSIZE:
        if (value >= 1 && value <= 3) d.StopBits = value == 1 ? ONESTOPBIT : value == 2 ? TWOSTOPBITS : ONE5STOPBITS;
        if (value >= 1 && value <= 3) port.setState(d);
        answer(command, port.dcb.StopBits == ONESTOPBIT ? 1 : port.dcb.StopBits == TWOSTOPBITS ? 2 : 3);
        break;
    case SET_CONTROL: answer(command, control(value)); break;
    case SET_LINESTATE_MASK: answer(command, value); break;
    case SET_MODEMSTATE_MASK:
        modemMask_ = value;
        answer(command, value);
        reported_ = false;
        reportModemLines(port, *out_);
        break;
    case PURGE_DATA:
        // The receive buffer is what the devices have sent and the client
        // not yet had; nothing waits on the way to them.
        if (value & 1) port.purge(PURGE_RXCLEAR, now_);
        answer(command, value);
        break;
    default: break;
    }
}

}  // namespace bc::sim
