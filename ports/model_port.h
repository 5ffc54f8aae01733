// A device model behind the seam: a test's, timed by its virtual clock, or
// the simulated bench built into the program, in real time.
#pragma once

#include <memory>

#include "platform/seam.h"
#include "ports/open_error.h"
#include "ports/port.h"

namespace bc::ports {

std::unique_ptr<Port> openModelPort(seam::SimDevice& device, const char* path, OpenError& error);

}  // namespace bc::ports
