// socket://HOST:PORT: raw TCP to a port server, the bytes passing as they are.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "net/tcp_link.h"
#include "ports/open_error.h"
#include "ports/port.h"

namespace bc::net {

// Over a connection already made (open_network_port.cpp makes it), to
// `where`. A server that closes the connection within `momentUs` of it being
// made has turned the tool away (a port server whose device another client
// has): the open fails with what it said.
std::unique_ptr<ports::Port> openSocketPort(std::unique_ptr<TcpLink> link, const std::string& where, int64_t momentUs,
                                            ports::OpenError& error);

}  // namespace bc::net
