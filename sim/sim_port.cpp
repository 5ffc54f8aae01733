#include "sim/sim_port.h"

#include <cstring>

namespace bc::sim {

void SimPort::send(const uint8_t* bytes, size_t count, int64_t at) {
    if (count == 0) return;
    if (!runs_.empty() && runs_.back().at >= at) {
        runs_.back().count += count;
    } else {
        runs_.push_back({at, count});
    }
    outbox_.append(reinterpret_cast<const char*>(bytes), count);
}

void SimPort::keepPending(size_t keep) {
    size_t drop = pendingBytes() - keep;
    outbox_.resize(outbox_.size() - drop);
    while (drop > 0) {
        Run& last = runs_.back();
        const size_t n = last.count < drop ? last.count : drop;
        last.count -= n;
        drop -= n;
        if (last.count == 0) runs_.pop_back();
    }
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

// What the device sends while no program has the port open reaches no one.
void SimPort::close() {
    isOpen = false;
    dropPending();
}

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
    keepLatest(received, recordLimit, receivedDropped);
    written = count;
    if (peer && !breakOn) {
        const size_t before = pendingBytes();
        peer->receive(bytes, count, now, *this);
        if (silent) keepPending(before);
    }
    return ERROR_SUCCESS;
}

DWORD SimPort::read(uint8_t* into, DWORD max, int64_t now, DWORD& got) {
    got = 0;
    if (vanished) return ERROR_DEVICE_NOT_CONNECTED;
    while (got < max && !runs_.empty() && runs_.front().at <= now) {
        Run& first = runs_.front();
        const size_t n = first.count < max - got ? first.count : max - got;
        memcpy(into + got, outbox_.data() + taken_, n);
        got += DWORD(n);
        taken_ += n;
        first.count -= n;
        if (first.count == 0) runs_.pop_front();
    }
    // What has been taken is let go once there is much of it, so that a
    // device that is never quite caught up does not grow the queue for ever.
    if (runs_.empty() || (taken_ >= 65536 && taken_ * 2 >= outbox_.size())) {
        outbox_.erase(0, taken_);
        taken_ = 0;
    }
    return ERROR_SUCCESS;
}

size_t SimPort::arrivedBytes(int64_t now) const {
    size_t n = 0;
    for (const Run& r : runs_) {
        if (r.at > now) break;
        n += r.count;
    }
    return n;
}

int64_t SimPort::nextByteAt(int64_t now) {
    if (runs_.empty()) return -1;
    return runs_.front().at > now ? runs_.front().at : now;
}

DWORD SimPort::escape(DWORD func, int64_t now) {
    if (escapeError) return escapeError;
    escapes.push_back({now, func});
    keepLatest(escapes, recordLimit, escapesDropped);
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
        while (!runs_.empty() && runs_.front().at <= now) {
            taken_ += runs_.front().count;
            runs_.pop_front();
        }
    return ERROR_SUCCESS;
}

// A line of models makes no framing or parity errors; the queue holds what
// has arrived, and a write leaves nothing behind.
DWORD SimPort::clearError(DWORD& errors, COMSTAT& stat, int64_t now) {
    if (vanished) return ERROR_DEVICE_NOT_CONNECTED;
    errors = 0;
    stat = COMSTAT{};
    stat.cbInQue = DWORD(arrivedBytes(now));
    return ERROR_SUCCESS;
}

}  // namespace bc::sim
