// Why a port could not be opened: the Windows error code CreateFileA
// reports, and the reason in words for the line on standard error.
#pragma once

#include <string>

#include "platform/win32_api.h"

namespace bc::ports {

struct OpenError {
    DWORD code = ERROR_SUCCESS;
    std::string reason;
};

}  // namespace bc::ports
