// ReadFile's waiting rules, as the Windows serial driver applies COMMTIMEOUTS:
// the read ends when the count has arrived; when ReadIntervalTimeout passes
// after a received byte (that clock starts only with the first byte and
// restarts with every byte); or when constant + multiplier x count has passed
// since the call began. A time-out is success with fewer bytes.
#include "ports/polled_port.h"

namespace bc::ports {

namespace {
constexpr int64_t kUsPerMs = 1000;
}  // namespace

int64_t totalTimeoutUs(DWORD multiplier, DWORD constant, DWORD count) {
    if (!multiplier && !constant) return -1;
    return (int64_t(multiplier) * count + constant) * kUsPerMs;
}

DWORD PolledPort::read(uint8_t* into, DWORD count, DWORD& got) { return timedRead(*this, into, count, got); }

DWORD timedRead(PolledPort& port, uint8_t* into, DWORD count, DWORD& got) {
    const COMMTIMEOUTS t = port.timeouts;
    got = 0;
    // MAXDWORD interval with no totals: return at once with what is there.
    if (t.ReadIntervalTimeout == MAXDWORD && !t.ReadTotalTimeoutMultiplier && !t.ReadTotalTimeoutConstant)
        return port.readNow(into, count, got);

    const int64_t total = totalTimeoutUs(t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant, count);
    const bool totalLimited = total >= 0;
    const int64_t start = port.nowUs();
    const int64_t totalEnd = start + total;
    const bool intervalLimited = t.ReadIntervalTimeout && t.ReadIntervalTimeout != MAXDWORD;
    int64_t lastByte = start;

    // Wait first, then take: a reply still on its way (the usual case for
    // an adapter frame) then costs one wait and one read per piece, the
    // least a read with a time limit can do.
    while (got < count) {
        // The nearer of the deadlines that apply; once either has passed,
        // the read is over (a total that has run out must not give way to
        // an interval that has not).
        const int64_t now = port.nowUs();
        const bool intervalRuns = intervalLimited && got > 0;
        int64_t wait = -1;  // no limit
        if (totalLimited) wait = totalEnd - now;
        if (intervalRuns) {
            const int64_t w = lastByte + int64_t(t.ReadIntervalTimeout) * kUsPerMs - now;
            wait = totalLimited && wait < w ? wait : w;
        }
        const bool limited = totalLimited || intervalRuns;
        if (limited && wait <= 0) break;
        bool readable = false;
        if (DWORD e = port.waitReadable(wait, readable)) return e;
        if (!readable) {
            if (!limited) break;
            continue;
        }
        DWORD n = 0;
        if (DWORD e = port.readNow(into + got, count - got, n)) return e;
        if (n > 0) {
            got += n;
            lastByte = port.nowUs();
        }
    }
    return ERROR_SUCCESS;
}

}  // namespace bc::ports
