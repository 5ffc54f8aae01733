#pragma once

#include "platform/platform.h"

namespace bc::posix {

// The Windows error code that corresponds best to a POSIX errno.
DWORD winErrorFromErrno(int err);

}  // namespace bc::posix
