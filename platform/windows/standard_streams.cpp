// The standard handles on Windows: a process started without one has no
// handle there, and the C runtime no descriptor behind 0, 1 or 2. Each
// missing one is opened on NUL, in the runtime and as the system's
// standard handle, so that console text is dropped, not written elsewhere.
#include "platform/standard_streams.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace bc {

namespace {

bool missing(HANDLE h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }

}  // namespace

void openMissingStandardStreams() {
    static const DWORD which[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    for (int fd = 0; fd <= 2; ++fd) {
        // -2: the runtime holds the descriptor, on no handle.
        const intptr_t behind = _get_osfhandle(fd);
        if (behind == -1 || behind == -2) {
            const int null = _open("NUL", fd == 0 ? _O_RDONLY : _O_WRONLY);
            if (null >= 0 && null != fd) {
                _dup2(null, fd);
                _close(null);
            }
        }
        if (missing(GetStdHandle(which[fd]))) {
            const intptr_t now = _get_osfhandle(fd);
            if (now != -1 && now != -2) SetStdHandle(which[fd], reinterpret_cast<HANDLE>(now));
        }
    }
}

}  // namespace bc
