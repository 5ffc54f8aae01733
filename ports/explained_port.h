// A failed open said on standard error, in one line: what was tried, why it
// failed and how to choose another port. The open is more than CreateFileA:
// a device that opens but is no serial port fails at SetupComm, a server
// that cannot take the line settings at SetCommState; the port the choice
// hands out says those failures too, until its first transfer.
#pragma once

#include <memory>
#include <string>

#include "ports/port.h"

namespace bc::ports {

// The line for a port that could not be opened: `device` is what was tried,
// in words, `reason` why it failed. Unprintable bytes are escaped.
void sayCannotOpen(const std::string& device, const std::string& reason);

// `port`, whose first failing set-up call (SetupComm, GetCommState,
// SetCommState, SetCommTimeouts) before any transfer is said with
// sayCannotOpen, once.
std::unique_ptr<Port> explainedPort(std::unique_ptr<Port> port, const std::string& device);

}  // namespace bc::ports
