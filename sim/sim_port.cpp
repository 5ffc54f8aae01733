#include "sim/sim_port.h"

namespace bc::sim {

void SimPort::send(const uint8_t* bytes, size_t count, int64_t at) {
    if (!outbox_.empty() && outbox_.back().at > at) at = outbox_.back().at;
    for (size_t i = 0; i < count; ++i) outbox_.push_back({at, bytes[i]});
}

void SimPort::send(std::string_view text, int64_t at) {
    send(reinterpret_cast<const uint8_t*>(text.data()), text.size(), at);
}

void SimPort::sendInPieces(std::string_view bytes, size_t piece, int64_t gapMs, int64_t at) {
    for (size_t i = 0; i < bytes.size(); i += piece, at += gapMs) send(bytes.substr(i, piece), at);
}

DWORD SimPort::open(const char*) {
    if (presence == Presence::absent) return ERROR_FILE_NOT_FOUND;
    if (presence == Presence::busy || isOpen) return ERROR_ACCESS_DENIED;
    isOpen = true;
    ++openCount;
    if (!stateWritten) {
        setState(driverDcb);
        stateWritten = false;
    }
    return ERROR_SUCCESS;
}

void SimPort::close() { isOpen = false; }

DWORD SimPort::setupComm(DWORD in, DWORD out) {
    if (setupCommError) return setupCommError;
    inQueue = in;
    outQueue = out;
    return ERROR_SUCCESS;
}

DWORD SimPort::getState(DCB& out) {
    if (getStateError) return getStateError;
    out = dcb;
    return ERROR_SUCCESS;
}

DWORD SimPort::setState(const DCB& in) {
    if (setStateError) return setStateError;
    dcb = in;
    // The driver drives DTR and RTS from their control modes.
    if (in.fDtrControl != DTR_CONTROL_HANDSHAKE) dtr = in.fDtrControl == DTR_CONTROL_ENABLE;
    if (in.fRtsControl == RTS_CONTROL_ENABLE || in.fRtsControl == RTS_CONTROL_DISABLE)
        rts = in.fRtsControl == RTS_CONTROL_ENABLE;
    stateWritten = true;
    return ERROR_SUCCESS;
}

DWORD SimPort::setTimeouts(const COMMTIMEOUTS& t) {
    if (setTimeoutsError) return setTimeoutsError;
    timeouts = t;
    return ERROR_SUCCESS;
}

DWORD SimPort::write(const uint8_t* bytes, DWORD count, int64_t now, DWORD& written) {
    written = 0;
    if (vanished) return ERROR_DEVICE_NOT_CONNECTED;
    received.insert(received.end(), bytes, bytes + count);
    written = count;
    if (peer && !breakOn) {
        size_t before = outbox_.size();
        peer->receive(bytes, count, now, *this);
        if (silent) outbox_.resize(before);
    }
    return ERROR_SUCCESS;
}

DWORD SimPort::read(uint8_t* into, DWORD max, int64_t now, DWORD& got) {
    got = 0;
    if (vanished) return ERROR_DEVICE_NOT_CONNECTED;
    while (got < max && !outbox_.empty() && outbox_.front().at <= now) {
        into[got++] = outbox_.front().byte;
        outbox_.pop_front();
    }
    return ERROR_SUCCESS;
}

int64_t SimPort::nextByteAt(int64_t now) {
    if (outbox_.empty()) return -1;
    return outbox_.front().at > now ? outbox_.front().at : now;
}

DWORD SimPort::escape(DWORD func, int64_t now) {
    if (escapeError) return escapeError;
    escapes.push_back({now, func});
    switch (func) {
    case SETBREAK: breakOn = true; break;
    case CLRBREAK: breakOn = false; break;
    case SETRTS: rts = true; break;
    case CLRRTS: rts = false; break;
    case SETDTR: dtr = true; break;
    case CLRDTR: dtr = false; break;
    default: break;
    }
    return ERROR_SUCCESS;
}

DWORD SimPort::modemStatus(DWORD& status) {
    if (modemStatusError) return modemStatusError;
    status = 0;
    if (loopbackPlug && rts) status |= MS_CTS_ON;
    if (loopbackPlug && dtr) status |= MS_DSR_ON | MS_RLSD_ON;
    return ERROR_SUCCESS;
}

// Clearing the receive queue drops what has arrived; bytes still on their
// way arrive afterwards, as on a real line.
DWORD SimPort::purge(DWORD flags, int64_t now) {
    if (vanished) return ERROR_DEVICE_NOT_CONNECTED;
    if (flags & PURGE_RXCLEAR)
        while (!outbox_.empty() && outbox_.front().at <= now) outbox_.pop_front();
    return ERROR_SUCCESS;
}

}  // namespace bc::sim
