// Any kind of port with each of its calls written to the BENCHCOM_TRACE file.
#pragma once

#include <memory>

#include "ports/port.h"
#include "ports/port_trace.h"

namespace bc::ports {

// A port whose every call is written to `trace`.
std::unique_ptr<Port> tracedPort(std::unique_ptr<Port> port, PortTrace& trace);

}  // namespace bc::ports
