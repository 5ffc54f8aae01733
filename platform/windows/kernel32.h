// The Windows calls the platform layer makes, behind plain C++ types, so that
// the files using them never include <windows.h>: its serial types would
// clash with our own (win32_api.h), which the routines use on both systems.
// Each returns false on failure; lastError() then gives the code.
#pragma once

#include <cstdint>
#include <string>

namespace bc::k32 {

// A COM device opened for exclusive reading and writing, or null.
void* openComm(const char* path);
bool closeHandle(void* h);
uint32_t lastError();

// The block arguments have the layout of Windows' DCB, COMMTIMEOUTS and COMSTAT.
bool setupComm(void* h, uint32_t inQueue, uint32_t outQueue);
bool getCommState(void* h, void* dcb);
bool setCommState(void* h, const void* dcb);
bool setCommTimeouts(void* h, const void* timeouts);
bool readFile(void* h, void* into, uint32_t count, uint32_t& got);
bool writeFile(void* h, const void* bytes, uint32_t count, uint32_t& written);
bool escapeCommFunction(void* h, uint32_t func);
bool getCommModemStatus(void* h, uint32_t& status);
bool purgeComm(void* h, uint32_t flags);
// `stat` has the layout of Windows' COMSTAT.
bool clearCommError(void* h, uint32_t& errors, void* stat);

// The system's message for an error code, without the line end.
std::string errorText(uint32_t code);

void sleepMs(unsigned long ms);
// Calls `handler` (on a thread of the system's) on Ctrl-C, Ctrl-Break and
// the console window closing, and tells Windows the program handles them.
void onConsoleInterrupt(void (*handler)(int signal));
// Calls `callback` once, on a thread of the system's, after `ms` milliseconds.
void callAfter(long long ms, void (*callback)());
// Whether the standard stream (0, 1 or 2) is a console.
bool isConsole(int stream);
// The program's file name without directory and ".exe".
std::string programName();
uint32_t processId();

// What stands at a path, for a capture file about to replace it.
enum class FileKind { none, file, readOnly, directory };
FileKind fileKind(const char* path);
// Moves `from` to `to`, replacing a file there (MoveFileEx with
// MOVEFILE_REPLACE_EXISTING).
bool replaceFile(const char* from, const char* to);

}  // namespace bc::k32
