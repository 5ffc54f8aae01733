#include "platform/posix/errno_codes.h"

#include <cerrno>

namespace bc::posix {

namespace {

// The errno behind the last code handed out, so that the words for that code
// can be the system's own reason rather than the code's general meaning.
thread_local DWORD t_lastCode = ERROR_SUCCESS;
thread_local int t_lastErrno = 0;

DWORD codeFor(int err) {
    switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT:
    case ENXIO:
    case ENODEV: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EBUSY:
    case EWOULDBLOCK: return ERROR_ACCESS_DENIED;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENOTTY: return ERROR_INVALID_FUNCTION;
    case EINTR: return ERROR_OPERATION_ABORTED;
    case EIO:
    case EPIPE: return ERROR_DEVICE_NOT_CONNECTED;
    default: return ERROR_GEN_FAILURE;
    }
}

}  // namespace

DWORD winErrorFromErrno(int err) {
    t_lastCode = codeFor(err);
    t_lastErrno = err;
    return t_lastCode;
}

int errnoBehind(DWORD code) { return code != ERROR_SUCCESS && code == t_lastCode ? t_lastErrno : 0; }

void forgetErrno() {
    t_lastCode = ERROR_SUCCESS;
    t_lastErrno = 0;
}

}  // namespace bc::posix
