// One open COM handle, whatever stands behind it: a local serial device, the
// simulated bench, a device model under test, or a port across the network.
// The Win32 calls in platform/win32_api.cpp keep a table of these and dispatch to
// them; each kind of port lives in a file of its own (ports/, net/).
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32_api.h"

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
    // ClearCommError: the line errors since the last call (CE_ bits, then
    // cleared) and what waits in the queues.
    virtual DWORD clearError(DWORD& errors, COMSTAT& stat) = 0;
    virtual DWORD write(const uint8_t* bytes, DWORD count, DWORD& written) = 0;
    // ReadFile: waits as the time-outs set with setTimeouts say.
    virtual DWORD read(uint8_t* into, DWORD count, DWORD& got) = 0;

    // Why the last call failed, in words, where its error code alone would
    // not say (a device that is no serial port, a setting the far end put
    // back); empty when the code says it all.
    virtual std::string failureReason() { return {}; }

    // Called before the handle is closed, and at process exit for handles
    // still open; must be safe to call more than once.
    virtual void release() = 0;

    COMMTIMEOUTS timeouts{};
};

}  // namespace bc::ports
