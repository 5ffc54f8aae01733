#pragma once

#include "platform/platform.h"

namespace bc::posix {

// The Windows error code that corresponds best to a POSIX errno. The errno is
// kept beside the code, so that errorText() can give the system's own reason.
DWORD winErrorFromErrno(int err);

}  // namespace bc::posix
