// The standard handles on Windows: a process started without one has no
// handle there (Wine gives one that every write fails on), and the C
// runtime nothing behind 0, 1 or 2. Each missing one is opened on NUL, in
// the runtime and as the system's standard handle, so that console text is
// dropped as on POSIX, where the program then runs as with any output.
#include "platform/standard_streams.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace bc {

namespace {

// -1: no handle; -2: the runtime holds the descriptor on no handle.
bool noHandle(intptr_t h) { return h == -1 || h == -2 || h == 0; }

// An output handle that is there but no handle at all: a write of nothing
// fails as on a closed one (and changes nothing anywhere else).
bool deadOutput(HANDLE h) {
    DWORD written = 0;
    return !WriteFile(h, "", 0, &written, nullptr) && GetLastError() == ERROR_INVALID_HANDLE;
}

}  // namespace

void openMissingStandardStreams() {
    static const DWORD which[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    for (int fd = 0; fd <= 2; ++fd) {
        const intptr_t behind = _get_osfhandle(fd);
        const bool missing = noHandle(behind) || (fd > 0 && deadOutput(reinterpret_cast<HANDLE>(behind)));
        if (!missing) continue;
        const int null = _open("NUL", fd == 0 ? _O_RDONLY : _O_WRONLY);
        if (null < 0) continue;
        if (null != fd) {
            _dup2(null, fd);
            _close(null);
        }
        SetStdHandle(which[fd], reinterpret_cast<HANDLE>(_get_osfhandle(fd)));
    }
}

}  // namespace bc
