// Reads a BENCHCOM_TRACE file back into the calls it records, for a replay.
// A trace is untrusted input: every line is read in full and checked (its
// numbers in range, its bytes and their characters agreeing, its words as
// the traced port writes them) before anything is replayed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32_api.h"

namespace bc::ports {

enum class CallKind {
    open,
    setupComm,
    getState,
    setState,
    setTimeouts,
    escape,
    modemStatus,
    purge,
    write,
    read,
    close,
    ended,  // the program was interrupted, or lost its console
};

// One call as the trace records it.
struct TraceEntry {
    CallKind kind = CallKind::open;
    int line = 0;    // its first line in the file, counted from 1
    int64_t us = 0;  // its time stamp, microseconds since the port was first opened
    // What a replayed call is compared with: the call in the traced port's
    // words without what it found ("SetupComm in 128, out 128",
    // "GetCommState", "ReadFile of 3 bytes"); a write is compared by its bytes.
    std::string words;
    DWORD error = ERROR_SUCCESS;  // the failure the call met, if any
    std::string reason;           // and its words
    std::vector<uint8_t> bytes;   // write: sent; read: received
    DWORD count = 0;              // write, read: the bytes asked for
    DWORD done = 0;               // write: written; read: received
    DCB dcb{};                    // getState: the line settings found
    DWORD status = 0;             // modemStatus: the lines; ended: the exit status
    bool consoleLost = false;     // ended: by a lost console rather than an interrupt
};

struct Trace {
    int format = 0;  // as the first line names it (0: written before formats were named)
    int lines = 0;   // lines in the file
    std::vector<TraceEntry> entries;
};

// Reads the text of a trace (lines ending in "\n" or "\r\n"). On failure
// returns false with the line, counted from 1, and what is wrong with it.
bool readTrace(std::string_view text, Trace& trace, int& badLine, std::string& problem);

// The line settings in describeDcb's words, read back onto what a driver
// reports for a fresh port; false when the words are not such.
bool readDcbWords(std::string_view words, DCB& dcb);

}  // namespace bc::ports
