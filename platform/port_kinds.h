// The kinds of port that can stand behind the COM port, one factory each.
// Each returns the open port, or null with the Windows error code and the
// reason in words.
#pragma once

#include <memory>
#include <string>

#include "platform/port.h"
#include "platform/port_choice.h"
#include "platform/seam.h"

namespace bc::ports {

struct OpenError {
    DWORD code = ERROR_SUCCESS;
    std::string reason;
};

// A serial device of this machine: "/dev/ttyACM0" on POSIX (our termios
// layer), "\\.\COM5" on Windows (the serial driver itself).
std::unique_ptr<Port> openLocalPort(const std::string& device, OpenError& error);

// A device model behind the seam: a test's, timed by its virtual clock, or
// the simulated bench built into the program, in real time.
std::unique_ptr<Port> openSeamPort(seam::SimDevice& device, const char* path, OpenError& error);

// rfc2217://HOST:PORT and socket://HOST:PORT.
std::unique_ptr<Port> openNetworkPort(const PortChoice& choice, OpenError& error);

}  // namespace bc::ports
