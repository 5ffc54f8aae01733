#include "platform/posix/errors.h"

#include <cerrno>
#include <cstring>

#include "platform/error_text.h"

namespace bc {

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

// What each code means for a serial port, where no system reason came with it.
const char* meaningOf(DWORD code) {
    switch (code) {
    case ERROR_SUCCESS: return "no error";
    case ERROR_INVALID_FUNCTION: return "the device cannot do that (it has no modem-control lines)";
    case ERROR_FILE_NOT_FOUND: return "no such device";
    case ERROR_PATH_NOT_FOUND: return "no such directory";
    case ERROR_TOO_MANY_OPEN_FILES: return "too many open files";
    case ERROR_ACCESS_DENIED: return "in use by another program, or not permitted";
    case ERROR_INVALID_HANDLE: return "the port is not open";
    case ERROR_NOT_ENOUGH_MEMORY: return "out of memory";
    case ERROR_GEN_FAILURE: return "the device failed";
    case ERROR_NOT_SUPPORTED: return "not supported";
    case ERROR_INVALID_PARAMETER: return "a setting the device cannot take";
    case ERROR_SEM_TIMEOUT: return "the device did not answer in time";
    case ERROR_INVALID_NAME: return "not a port name";
    case ERROR_OPERATION_ABORTED: return "interrupted";
    case ERROR_DEVICE_NOT_CONNECTED: return "the device is not connected";
    default: return "unknown error";
    }
}

}  // namespace

namespace posix {

DWORD winErrorFromErrno(int err) {
    t_lastCode = codeFor(err);
    t_lastErrno = err;
    return t_lastCode;
}

}  // namespace posix

namespace ports {

std::string errorText(DWORD code) {
    if (code != ERROR_SUCCESS && code == t_lastCode && t_lastErrno) return std::strerror(t_lastErrno);
    return meaningOf(code);
}

void forgetSystemReason() {
    t_lastCode = ERROR_SUCCESS;
    t_lastErrno = 0;
}

}  // namespace ports
}  // namespace bc
