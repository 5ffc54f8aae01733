// rfc2217://HOST:PORT and socket://HOST:PORT: the connection, and a failed
// one explained in words.
#include "net/open_network_port.h"

#include "net/rfc2217_port.h"
#include "net/socket_port.h"

namespace bc::net {

using ports::OpenError;
using ports::Port;
using ports::PortChoice;

namespace {

// A port server on the bench's network answers within milliseconds; one
// that has not answered in this time is not there.
constexpr int kConnectMs = 5000;

}  // namespace

std::unique_ptr<Port> openNetworkPort(const PortChoice& choice, OpenError& error) {
    const std::string where = choice.host + ":" + std::to_string(choice.tcpPort);
    net::ConnectResult r;
    std::unique_ptr<net::TcpLink> link = net::connectTcp(choice.host, choice.tcpPort, kConnectMs, r);
    using Outcome = net::ConnectResult::Outcome;
    switch (r.outcome) {
    case Outcome::connected: break;
    case Outcome::hostNotFound:
        error = {ERROR_FILE_NOT_FOUND, "host " + choice.host + " not found (" + r.reason + ")"};
        return nullptr;
    case Outcome::refused:
        error = {ERROR_FILE_NOT_FOUND,
                 "connection refused by " + where + " (no port server listens there: is ser2net running?)"};
        return nullptr;
    case Outcome::timedOut:
        error = {ERROR_SEM_TIMEOUT, "no answer from " + where + " within " + std::to_string(kConnectMs / 1000) + " s"};
        return nullptr;
    case Outcome::failed: error = {ERROR_GEN_FAILURE, "cannot connect to " + where + ": " + r.reason}; return nullptr;
    }
    if (choice.kind == PortChoice::Kind::socket) return openSocketPort(std::move(link), error);
    return openRfc2217Port(std::move(link), where, error);
}

}  // namespace bc::net
