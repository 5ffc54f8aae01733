// The read of ReadFile, built once for every kind of port but the real
// Windows one, with the Windows serial driver's COMMTIMEOUTS rules.
#pragma once

#include <cstdint>

#include "ports/port.h"

namespace bc::ports {

// A port whose ReadFile is built here, from three primitives, with the
// Windows serial driver's time-out rules (polled_port.cpp). Every kind but
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
