#pragma once

#include <memory>

#include "ports/port.h"

namespace bc::ports {

// Opens the port behind a path the routines give CreateFileA; returns null
// with a Windows error code when it cannot.
std::unique_ptr<Port> openChosenPort(const char* win32Path, DWORD& error);

}  // namespace bc::ports
