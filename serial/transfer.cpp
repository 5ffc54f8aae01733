// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "serial/transfer.h"

#include <cstdio>

#include "serial/com_port.h"

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

void readIoBuf(int, int count) { ReadFile(hPort, ioBuf, withinIoBuf(count), &iBytesRead, nullptr); }

}  // namespace bc
