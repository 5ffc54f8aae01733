// Error codes in words on POSIX: errno's own text where an errno lies behind
// the code, else what the code means for a serial port.
#include "platform/error_text.h"

#include <cstring>

#include "platform/posix/errno_codes.h"

namespace bc {

namespace {

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
    case ERROR_INVALID_DATA: return "the data is invalid";
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

std::string errorText(DWORD code) {
    if (int err = posix::errnoBehind(code)) return std::strerror(err);
    return meaningOf(code);
}

void forgetSystemReason() { posix::forgetErrno(); }

}  // namespace bc
