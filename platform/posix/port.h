// One open COM handle on POSIX: either a real terminal device or a simulated
// device behind the seam. The Win32 calls in win32_calls.cpp dispatch to it.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/platform.h"

namespace bc::posix {

class Port {
public:
    virtual ~Port() = default;

    virtual DWORD setupComm(DWORD inQueue, DWORD outQueue) = 0;
    virtual DWORD getState(DCB& dcb) = 0;
    virtual DWORD setState(const DCB& dcb) = 0;
    virtual DWORD setTimeouts(const COMMTIMEOUTS& timeouts) = 0;
    virtual DWORD escape(DWORD func) = 0;
    virtual DWORD modemStatus(DWORD& status) = 0;
    virtual DWORD write(const uint8_t* bytes, DWORD count, DWORD& written) = 0;

    // The three primitives the read time-out rules are built from. Times are
    // in microseconds: the time-outs are whole milliseconds, but deadlines
    // taken from a clock cut to whole milliseconds would end some waits up
    // to a millisecond early.
    virtual int64_t nowUs() = 0;
    // Takes what has arrived, without waiting; 0 bytes is not an error.
    virtual DWORD readNow(uint8_t* into, DWORD max, DWORD& got) = 0;
    // Waits until a byte can be read or timeoutUs passes (-1: no limit).
    virtual DWORD waitReadable(int64_t timeoutUs, bool& readable) = 0;

    // Called before the handle is closed, and at process exit for handles
    // still open; must be safe to call more than once.
    virtual void release() = 0;

    COMMTIMEOUTS timeouts{};
};

// Opens the device that a Win32 path names (real or simulated); returns null
// and a Windows error code on failure.
std::unique_ptr<Port> openPort(const char* win32Path, DWORD& error);

// The read of ReadFile, following COMMTIMEOUTS as the Windows serial driver does.
DWORD timedRead(Port& port, uint8_t* into, DWORD count, DWORD& got);

}  // namespace bc::posix
