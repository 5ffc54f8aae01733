// rfc2217://HOST:PORT: Telnet COM Port Control, so that the line settings and
// the modem-control lines reach the port at the far end.
#pragma once

#include <memory>
#include <string>

#include "net/tcp_link.h"
#include "ports/open_error.h"
#include "ports/port.h"

namespace bc::net {

// Negotiates COM-PORT-OPTION over a connection already made; a server that
// refuses it or never answers is a failed open, with nothing but the
// negotiation sent.
std::unique_ptr<ports::Port> openRfc2217Port(std::unique_ptr<TcpLink> link, const std::string& where,
                                             ports::OpenError& error);

}  // namespace bc::net
