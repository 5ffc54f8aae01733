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

}  // namespace

void writeIoBuf(int, int count) {
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
