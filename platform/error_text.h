#pragma once

#include <string>

#include "platform/win32_api.h"

namespace bc {

// A Windows error code in words: the operating system's own reason when it
// gave the code (errno's text on POSIX, the system message on Windows), else
// what the code means for a serial port.
std::string errorText(DWORD code);

// Forgets the system reason kept from an earlier failure, so that the words
// for the next code are that failure's own.
void forgetSystemReason();

}  // namespace bc
