// The trace file on Windows: a named pipe with no server fails its open at
// once, so the C library's own open does.
#include "ports/trace_file.h"

#include <cerrno>
#include <cstring>

namespace bc::ports {

std::FILE* openTraceFile(const char* path, int& error) {
    std::FILE* file = std::fopen(path, "w");
    if (!file) error = errno;
    return file;
}

std::string traceFileReason(int error) { return std::strerror(error); }

}  // namespace bc::ports
