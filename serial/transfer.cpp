// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "serial/transfer.h"

#include <cstdio>
#include <cstring>

#include "serial/com_port.h"
#include "serial/short_replies.h"

namespace bc {

unsigned char ioBuf[ioBufSize];
DWORD iBytesWritten;
DWORD iBytesSent;
DWORD iBytesRead;

namespace {

DWORD withinIoBuf(int count) { return count < 0 ? 0 : count > ioBufSize ? DWORD(ioBufSize) : DWORD(count); }

// Whatever waits in the receive queue before a frame goes out is no answer
// to it: the eighth byte of the adapter's serial number (the routine reads
// seven), a reply that came after its read had timed out, a stray byte.
// Left there, it would be taken for the first byte of this frame's reply,
// and every reply after it would be read one byte late. It is read off
// here (so that the trace shows which bytes went), into a buffer of its
// own: the frame already stands in ioBuf. A device that never stops
// talking is given up on after 64 KiB.
void dropWhatWaits() {
    constexpr DWORD kMostDropped = 64 * 1024;
    unsigned char stale[64];
    DWORD dropped = 0;
    DWORD errors = 0;
    COMSTAT queues;
    while (dropped < kMostDropped && ClearCommError(hPort, &errors, &queues) && queues.cbInQue > 0) {
        const DWORD ask = queues.cbInQue < sizeof stale ? queues.cbInQue : DWORD(sizeof stale);
        DWORD got = 0;
        if (!ReadFile(hPort, stale, ask, &got, nullptr) || got == 0) break;
        dropped += got;
    }
}

}  // namespace

void writeIoBuf(int, int count) {
    if (count > 0) dropWhatWaits();
    WriteFile(hPort, ioBuf, withinIoBuf(count), &iBytesWritten, nullptr);
    printf(" iBytesWritten: %d \n", int(iBytesWritten));
}

void writeBytes(int, const char* bytes, int count) {
    WriteFile(hPort, bytes, count < 0 ? 0 : DWORD(count), &iBytesSent, nullptr);
}

// Every reply read here has a fixed length; one that falls short is noted,
// named by the frame's first bytes, which the reply is about to overwrite.
void readIoBuf(int, int count) {
    const DWORD wanted = withinIoBuf(count);
    unsigned char head[4];
    std::memcpy(head, ioBuf, sizeof head);
    ReadFile(hPort, ioBuf, wanted, &iBytesRead, nullptr);
    if (iBytesRead < wanted) noteShortFrame("adapter frame", head, iBytesWritten, iBytesRead, wanted);
}

}  // namespace bc
