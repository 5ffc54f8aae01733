// BENCHCOM_TRACE=FILE: a record of everything that went over the port, for
// when real hardware misbehaves. Each line starts with the seconds since the
// port was first opened, to the microsecond (the first line names the
// program and the format); then either a call in words
// (open, SetCommState, EscapeCommFunction, ...) or bytes: '>' sent, '<'
// received, up to 16 a line in hexadecimal and as characters, one entry for
// the bytes of one WriteFile or ReadFile. The file is written through a
// buffer and flushed when the port closes and when the process ends. A trace
// that cannot be written whole (a full disk) is said once on standard error;
// the routines go on as they would have.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "ports/port.h"

namespace bc::ports {

// The format the first line names ("port trace, format 2:"), so that a
// reader of a later format can still read the files written today. Traces
// written before the format was named read as format 0: the same lines,
// without those format 1 added (a Ctrl-C or a lost console, the bytes of a
// read that failed, the number of an escape function Windows does not name).
// Format 2 adds ClearCommError, which the tool calls before each adapter
// frame: a replay of an older trace answers it with nothing waiting, as the
// program then behaved.
constexpr int kTraceFormat = 2;
constexpr int kFirstFormatWithQueues = 2;

class PortTrace {
public:
    // Writes to `file`, which the trace closes when `owned`; `name` is the
    // file's name for the line that says it could not be written whole.
    PortTrace(std::FILE* file, bool owned, std::string name = "");
    ~PortTrace();
    PortTrace(const PortTrace&) = delete;
    PortTrace& operator=(const PortTrace&) = delete;

    // A line of words, time-stamped.
    void event(const std::string& words);
    // The bytes of one write ('>') or read ('<'), with a note after the
    // first line when there is one.
    void bytes(char direction, const uint8_t* data, size_t count, const std::string& note);
    // The time stamp of the next entry is taken now (for calls that wait).
    void markTime();
    // False once a write has failed (said then, once).
    bool flush();

private:
    void stamp(bool continuation);
    int64_t nowUs() const;
    // Says the first failed write.
    void check();

    std::FILE* file_;
    bool owned_;
    std::string name_;
    bool failed_ = false;
    int64_t startUs_ = -1;
    int64_t markedUs_ = -1;
};

// The trace BENCHCOM_TRACE asks for, created (truncating the file) at the
// first open of the process; null when none is asked for or the file cannot
// be written (which is said once on standard error).
PortTrace* processTrace();

// Writes out what the process trace holds; false when the trace asked for
// could not be created or written whole (the programs then end with 3).
bool processTraceWhole();

// Line settings in words: "19200 baud 8N1, DTR off, RTS off, no flow control".
std::string describeDcb(const DCB& dcb);

}  // namespace bc::ports
