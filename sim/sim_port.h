// A simulated serial port as the device side sees it: it keeps the line
// settings the host writes, plays a loopback plug on the modem-control lines,
// records everything the host sends, and delivers bytes back to the host at
// chosen (virtual) times. A Peer, when set, is the device model that answers.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/seam.h"
#include "ports/driver_dcb.h"
#include "sim/record_limit.h"

namespace bc::sim {

class SimPort;

// A device on the far end of the line.
class Peer {
public:
    virtual ~Peer() = default;
    // The host sent these bytes at `now`; replies go out with port.send().
    virtual void receive(const uint8_t* bytes, size_t count, int64_t now, SimPort& port) = 0;
    // True while a message has begun and not yet ended, so that a bench
    // sharing one line between devices knows whose bytes come next.
    virtual bool midMessage() const { return false; }
};

class SimPort : public seam::SimDevice {
public:
    // ---- how the device behaves (set by tests and the bench) ----
    enum class Presence { present, absent, busy };
    Presence presence = Presence::present;
    // A non-zero code makes that step fail with it.
    DWORD setupCommError = 0, getStateError = 0, setStateError = 0, setTimeoutsError = 0;
    DWORD modemStatusError = 0, escapeError = 0;
    bool vanished = false;                    // reads and writes fail as if the device were unplugged
    bool silent = false;                      // replies of the peer are dropped
    bool loopbackPlug = true;                 // RTS drives CTS; DTR drives DSR and carrier detect
    DCB driverDcb = ports::freshDriverDcb();  // what GetCommState reports before any SetCommState
    Peer* peer = nullptr;

    // ---- what the host did ----
    // Kept whole unless limited (record_limit.h); the counts say how much
    // was dropped from the front.
    size_t recordLimit = kWholeRecord;
    std::vector<uint8_t> received;
    uint64_t receivedDropped = 0;
    uint64_t receivedTotal() const { return receivedDropped + received.size(); }
    struct Escape {
        int64_t at;
        DWORD func;
    };
    std::vector<Escape> escapes;
    uint64_t escapesDropped = 0;
    bool isOpen = false;
    int openCount = 0;
    bool stateWritten = false;
    DCB dcb{};
    COMMTIMEOUTS timeouts{};
    DWORD inQueue = 0, outQueue = 0;
    bool breakOn = false, rts = false, dtr = false;

    // ---- bytes to the host ----
    // Queues bytes that reach the host at `at` (never before bytes queued earlier).
    void send(const uint8_t* bytes, size_t count, int64_t at);
    void send(std::string_view text, int64_t at);
    // Queues the bytes in pieces of `piece` bytes, `gapMs` apart.
    void sendInPieces(std::string_view bytes, size_t piece, int64_t gapMs, int64_t at);
    size_t pendingBytes() const { return outbox_.size() - taken_; }
    // The pending bytes that have arrived by `now`: what a driver would hold.
    size_t arrivedBytes(int64_t now) const;
    // Drops every pending byte, those still on their way too: a device's
    // bytes for a program that has gone reach no one.
    void dropPending() { keepPending(0); }
    void clearReceived() { received.clear(); }

    // ---- seam::SimDevice ----
    DWORD open(const char* path) override;
    void close() override;
    DWORD setupComm(DWORD in, DWORD out) override;
    DWORD getState(DCB& dcb) override;
    DWORD setState(const DCB& dcb) override;
    DWORD setTimeouts(const COMMTIMEOUTS& t) override;
    DWORD write(const uint8_t* bytes, DWORD count, int64_t now, DWORD& written) override;
    DWORD read(uint8_t* into, DWORD max, int64_t now, DWORD& got) override;
    int64_t nextByteAt(int64_t now) override;
    DWORD escape(DWORD func, int64_t now) override;
    DWORD modemStatus(DWORD& status) override;
    DWORD purge(DWORD flags, int64_t now) override;
    DWORD clearError(DWORD& errors, COMSTAT& stat, int64_t now) override;

private:
    // Drops the bytes queued after the first `keep` still pending.
    void keepPending(size_t keep);

    // The bytes on their way, in order, from outbox_[taken_] on; each run
    // is the next `count` of them, all arriving at `at`. Held as runs
    // rather than byte by byte: a waveform block is 8014 bytes.
    struct Run {
        int64_t at;
        size_t count;
    };
    std::string outbox_;
    size_t taken_ = 0;
    std::deque<Run> runs_;
};

}  // namespace bc::sim
