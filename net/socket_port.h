// socket://HOST:PORT: raw TCP to a port server, the bytes passing as they are.
#pragma once

#include <memory>

#include "net/tcp_link.h"
#include "ports/open_error.h"
#include "ports/port.h"

namespace bc::net {

// Over a connection already made (open_network_port.cpp makes it).
std::unique_ptr<ports::Port> openSocketPort(std::unique_ptr<TcpLink> link, ports::OpenError& error);

}  // namespace bc::net
