// The seam through which tests put simulated devices and a virtual clock
// under the platform calls, so that the routines run unchanged against models
// instead of hardware; and through which a program offers the simulated bench
// that BENCHCOM_PORT=sim opens.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/win32_api.h"

namespace bc::seam {

// A serial device as the port sees it. Every call gets the current (virtual)
// time in milliseconds; calls return 0 or a Windows error code.
class SimDevice {
public:
    virtual ~SimDevice() = default;
    virtual DWORD open(const char* path) = 0;
    virtual void close() = 0;
    virtual DWORD setupComm(DWORD inQueue, DWORD outQueue) = 0;
    virtual DWORD getState(DCB& dcb) = 0;
    virtual DWORD setState(const DCB& dcb) = 0;
    virtual DWORD setTimeouts(const COMMTIMEOUTS& timeouts) = 0;
    virtual DWORD write(const uint8_t* bytes, DWORD count, int64_t now, DWORD& written) = 0;
    // Takes the bytes that have arrived by `now`, without waiting.
    virtual DWORD read(uint8_t* into, DWORD max, int64_t now, DWORD& got) = 0;
    // When the next byte will have arrived (>= now), or -1 if none is coming.
    virtual int64_t nextByteAt(int64_t now) = 0;
    virtual DWORD escape(DWORD func, int64_t now) = 0;
    virtual DWORD modemStatus(DWORD& status) = 0;
    virtual DWORD purge(DWORD flags, int64_t now) = 0;
    // ClearCommError: the line errors (CE_ bits) and what waits, by `now`.
    virtual DWORD clearError(DWORD& errors, COMSTAT& stat, int64_t now) = 0;
};

// Time that moves only when the code under test reads the clock, sleeps or
// waits for a read to time out. Each clock reading advances it by one
// millisecond, so that busy-waits on the clock come to an end.
class VirtualClock {
public:
    int64_t now() const { return now_; }
    void advanceTo(int64_t t);
    void advanceBy(int64_t ms) { advanceTo(now_ + ms); }

    // Called (once each time it is passed) when the time reaches stopAt;
    // tests throw from it to end routines that never return.
    int64_t stopAt = -1;
    std::function<void()> onStop;

private:
    int64_t now_ = 0;
};

// Every COM-port open goes to `device` while one is attached.
void attachDevice(SimDevice* device);
SimDevice* attachedDevice();
// The simulated bench that BENCHCOM_PORT=sim opens, in programs that have
// one built in: the function returns the one bench of the process.
void provideBuiltInBench(SimDevice& (*bench)());
SimDevice* builtInBench();
void attachClock(VirtualClock* clock);
VirtualClock* attachedClock();
// bc::exit calls the hook instead of ending the process (a hook that returns
// falls through to the real exit).
void setExitHook(std::function<void(int)> hook);
const std::function<void(int)>& exitHook();

}  // namespace bc::seam
