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

// The files open now. A capture that is ended half-way (Ctrl-C in
// benchcom-run's shell) leaves them open; captureCloseAbandoned lets them go
// then, as the end of the process would. A capture opens two at most.
CaptureFile g_open[4];

void opened(const CaptureFile& file) {
    for (CaptureFile& slot : g_open)
        if (!slot.stream) {
            slot = file;
            return;
        }
}

void closing(const CaptureFile& file) {
    for (CaptureFile& slot : g_open)
        if (slot.stream == file.stream) slot = CaptureFile{};
}

}  // namespace

CaptureFile captureOpen(const char* name) {
    CaptureFile file{name, openReplacing(name), false};
    if (!file.stream) fail(file, "could not be created", errno);
    if (file.stream) opened(file);
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

void captureWriteText(CaptureFile& file, const char* text, const char* end) {
    if (file.failed) return;
    const size_t count = size_t(end - text);
    if (fwrite(text, 1, count, file.stream) != count) fail(file, "could not be written whole", errno);
}

void captureCheck(CaptureFile& file) {
    if (file.stream && ferror(file.stream)) fail(file, "could not be written whole", errno);
}

void captureClose(CaptureFile& file) {
    if (!file.stream) return;
    closing(file);
    if (file.failed)
        discardReplacing(file.stream);
    else if (const int error = placeReplacing(file.stream))
        fail(file, "could not be written whole", error);
    file.stream = nullptr;
}

void captureCloseAbandoned() {
    // Cut short, they are not whole: each leaves the earlier file of its
    // name as it was (bc::exit has already let them go when it ended them).
    for (CaptureFile& slot : g_open)
        if (slot.stream) {
            discardReplacing(slot.stream);
            slot = CaptureFile{};
        }
}

}  // namespace bc
