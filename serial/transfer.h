// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// Raw byte transfer on hPort through the shared frame buffer.
#pragma once

#include "platform/win32_api.h"

namespace bc {

constexpr int ioBufSize = 100;

// Adapter frames are built here from index 0 and replies are read back over
// them; bytes are unsigned.
extern unsigned char ioBuf[ioBufSize];

extern DWORD iBytesWritten;  // count reported for the last writeIoBuf
extern DWORD iBytesSent;     // count reported for the last writeBytes
extern DWORD iBytesRead;     // count reported for the last readIoBuf

// Sends ioBuf[0..count-1] and prints " iBytesWritten: %d \n". `fd` is
// ignored: every transfer goes to hPort. Counts outside 0..100 are clamped
// to the buffer. Bytes that wait in the receive queue before a frame are
// no reply to it: they are read off and dropped before it is sent.
void writeIoBuf(int fd, int count);

// Sends `count` bytes from `bytes`; prints nothing.
void writeBytes(int fd, const char* bytes, int count);

// Reads up to `count` bytes into ioBuf from index 0 (clamped to the buffer);
// bytes that do not arrive keep their earlier contents.
void readIoBuf(int fd, int count);

}  // namespace bc
