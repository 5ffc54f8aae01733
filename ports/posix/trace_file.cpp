// The trace file on POSIX: opened non-blocking, and left so.
#include "ports/trace_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace bc::ports {

std::FILE* openTraceFile(const char* path, int& error) {
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "w");
    if (!file) {
        error = errno;
        ::close(fd);
    }
    return file;
}

std::string traceFileReason(int error) {
    // What a non-blocking open of a FIFO with no reader says, and a write
    // to one whose reader has fallen behind.
    if (error == ENXIO) return "it is a FIFO that nothing reads";
    if (error == EAGAIN) return "it is a FIFO whose reader does not keep up";
    return std::strerror(error);
}

}  // namespace bc::ports
