// The two network kinds, each over a connection already made
// (network_ports.cpp connects and explains what went wrong).
#pragma once

#include <algorithm>
#include <memory>

#include "platform/network_port.h"
#include "platform/port_kinds.h"

namespace bc::ports {

std::unique_ptr<Port> openSocketPort(std::unique_ptr<net::TcpLink> link, OpenError& error);
// Negotiates COM-PORT-OPTION; a server that refuses it or never answers is a
// failed open, with nothing but the negotiation sent.
std::unique_ptr<Port> openRfc2217Port(std::unique_ptr<net::TcpLink> link, const std::string& where,
                                      OpenError& error);

}  // namespace bc::ports
