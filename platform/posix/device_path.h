#pragma once

#include <string>

namespace bc::posix {

// The POSIX device that a Win32 device path stands for: "\\.\COM3" (or
// "COM3") is $BENCHCOM_PORT when that is set; otherwise "\\.\COMn" is
// /dev/ttyS<n-1>. Any other path is taken as it is.
std::string devicePathFor(const char* win32Path);

}  // namespace bc::posix
