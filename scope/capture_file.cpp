// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "scope/capture_file.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "platform/replacing_file.h"

namespace bc {

bool captureFileFailed = false;

namespace {

// errno as the failed call left it; a failure that set none is an I/O error.
void fail(CaptureFile& file, const char* what, int error) {
    if (file.failed) return;
    file.failed = true;
    captureFileFailed = true;
    fprintf(stderr, "capture file %s %s: %s\n", file.name, what, strerror(error ? error : EIO));
}

}  // namespace

CaptureFile captureOpen(const char* name) {
    CaptureFile file{name, openReplacing(name), false};
    if (!file.stream) fail(file, "could not be created", errno);
    return file;
}

void captureWrite(CaptureFile& file, const char* format, ...) {
    if (file.failed) return;
    va_list args;
    va_start(args, format);
    const int n = vfprintf(file.stream, format, args);
    va_end(args);
    if (n < 0) fail(file, "could not be written whole", errno);
}

void captureCheck(CaptureFile& file) {
    if (file.stream && ferror(file.stream)) fail(file, "could not be written whole", errno);
}

void captureClose(CaptureFile& file) {
    if (!file.stream) return;
    if (file.failed)
        discardReplacing(file.stream);
    else if (const int error = placeReplacing(file.stream))
        fail(file, "could not be written whole", error);
    file.stream = nullptr;
}

}  // namespace bc
