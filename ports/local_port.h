// A serial device of this machine: "/dev/ttyACM0" on POSIX (our termios
// layer, posix/local_port.cpp), "\\.\COM5" on Windows (the serial driver
// itself, windows/local_port.cpp).
#pragma once

#include <memory>
#include <string>

#include "ports/open_error.h"
#include "ports/port.h"

namespace bc::ports {

// Returns the open port, or null with the Windows error code and the reason.
std::unique_ptr<Port> openLocalPort(const std::string& device, OpenError& error);

}  // namespace bc::ports
