// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// The oscilloscope command channel: commands out through writeBytes, replies
// in by reads made directly on hPort. Nothing is ever discarded: bytes a read
// leaves in the port are the start of the next read, whichever routine makes it.
#pragma once

#include "platform/win32_api.h"

namespace bc {

// Byte count of the one read of the last scopeQueryValue.
extern DWORD iQueryBytesRead;
// Byte count of the last read made by count_rd.
extern DWORD iCountBytesRead;

// Prints a separator and " ScopeSendCmd: <cmd> ", then sends the command's
// bytes (its own terminator included). `fd` is passed through unused.
void ScopeSendCmd(int fd, const char* cmd);

// Sends a query, waits 600 ms, reads the reply once (at most 999 bytes) and
// returns the number it begins with, 0.0 when it begins with none. Prints
// the byte count, the value and the reply text.
float scopeQueryValue(int fd, const char* query);

// Reads up to `wanted` bytes into `buffer` in as many reads as it takes,
// giving up after the second read of the call that brings nothing. Prints a
// trace line per read; returns the number of bytes received. `unused` is
// not looked at; no terminator is written.
DWORD count_rd(int fd, const char* unused, void* buffer, DWORD wanted);

}  // namespace bc
