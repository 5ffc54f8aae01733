// Windows error codes for POSIX errno values.
#pragma once

#include "platform/win32_api.h"

namespace bc::posix {

// The Windows error code that corresponds best to a POSIX errno. The errno is
// kept beside the code, so that errorText() can give the system's own reason.
DWORD winErrorFromErrno(int err);

// The errno behind `code` when it is the last code handed out; else 0.
int errnoBehind(DWORD code);

// Forgets the errno kept with the last code.
void forgetErrno();

}  // namespace bc::posix
