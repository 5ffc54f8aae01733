// rfc2217://HOST:PORT and socket://HOST:PORT: the connection, and a failed
// one explained in words.
#pragma once

#include <memory>

#include "ports/open_error.h"
#include "ports/port.h"
#include "ports/port_choice.h"

namespace bc::net {

std::unique_ptr<ports::Port> openNetworkPort(const ports::PortChoice& choice, ports::OpenError& error);

}  // namespace bc::net
