// The file BENCHCOM_TRACE names, opened for the trace without ever holding
// up the routines: on POSIX a FIFO nobody reads is refused at once, and one
// whose reader stops reading makes the trace's writes fail rather than wait
// (the trace then says it could not be written whole).
#pragma once

#include <cstdio>
#include <string>

namespace bc::ports {

// Creates or empties `path` for writing; null with an errno value when it
// cannot.
std::FILE* openTraceFile(const char* path, int& error);

// Why the trace file could not be opened or written (an errno value), in
// words.
std::string traceFileReason(int error);

}  // namespace bc::ports
