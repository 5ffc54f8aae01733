// One open COM handle, whatever stands behind it: a local serial device, the
// simulated bench, a device model under test, or a port across the network.
// The Win32 calls in win32_calls.cpp keep a table of these and dispatch to
// them; each kind of port lives in a file of its own (port_kinds.h).
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace bc::ports {

// The calls return 0 or a Windows error code.
class Port {
public:
    virtual ~Port() = default;

    virtual DWORD setupComm(DWORD inQueue, DWORD outQueue) = 0;
    virtual DWORD getState(DCB& dcb) = 0;
    virtual DWORD setState(const DCB& dcb) = 0;
    virtual DWORD setTimeouts(const COMMTIMEOUTS& timeouts) = 0;
    virtual DWORD escape(DWORD func) = 0;
    virtual DWORD modemStatus(DWORD& status) = 0;
    // PURGE_RXCLEAR / PURGE_TXCLEAR: drops what waits in the queues.
    virtual DWORD purge(DWORD flags) = 0;
    virtual DWORD write(const uint8_t* bytes, DWORD count, DWORD& written) = 0;
    // ReadFile: waits as the time-outs set with setTimeouts say.
    virtual DWORD read(uint8_t* into, DWORD count, DWORD& got) = 0;

    // Called before the handle is closed, and at process exit for handles
    // still open; must be safe to call more than once.
    virtual void release() = 0;

    COMMTIMEOUTS timeouts{};
};

// A port whose ReadFile is built here, from three primitives, with the
// Windows serial driver's time-out rules (read_timeouts.cpp). Every kind but
// the real Windows port is one of these.
class PolledPort : public Port {
public:
    DWORD read(uint8_t* into, DWORD count, DWORD& got) override;

    // Times are in microseconds: the time-outs are whole milliseconds, but
    // deadlines taken from a clock cut to whole milliseconds would end some
    // waits up to a millisecond early.
    virtual int64_t nowUs() = 0;
    // Takes what has arrived, without waiting; 0 bytes is not an error.
    virtual DWORD readNow(uint8_t* into, DWORD max, DWORD& got) = 0;
    // Waits until a byte can be read or timeoutUs passes (-1: no limit).
    virtual DWORD waitReadable(int64_t timeoutUs, bool& readable) = 0;
};

// The total time-out COMMTIMEOUTS gives a read or a write of `count` bytes,
// multiplier x count + constant milliseconds, in microseconds; -1 when both
// are zero, which sets no total limit.
int64_t totalTimeoutUs(DWORD multiplier, DWORD constant, DWORD count);

// The read of ReadFile, following COMMTIMEOUTS as the Windows serial driver does.
DWORD timedRead(PolledPort& port, uint8_t* into, DWORD count, DWORD& got);

}  // namespace bc::ports
