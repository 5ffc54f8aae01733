// rfc2217://HOST:PORT and socket://HOST:PORT: the connection, and a failed
// one explained in words.
#include "net/open_network_port.h"

#include <algorithm>

#include "net/rfc2217_port.h"
#include "net/socket_port.h"
#include "platform/monotonic.h"

namespace bc::net {

using ports::OpenError;
using ports::Port;
using ports::PortChoice;

namespace {

// A port server on the bench's network answers within milliseconds; one
// that has not answered in this time is not there.
constexpr int kConnectMs = 5000;

// How long a raw TCP server has to turn the tool away: its close takes about
// as long to come as the connection took to be made; a server on the bench's
// network does it within a millisecond, so a tenth of a second is plenty and
// costs an open little.
int64_t turnAwayMomentUs(int64_t connectUs) {
    constexpr int64_t kLeastUs = 100000, kMostUs = 1000000;
    return std::clamp<int64_t>(2 * connectUs, kLeastUs, kMostUs);
}

}  // namespace

std::unique_ptr<Port> openNetworkPort(const PortChoice& choice, OpenError& error) {
    const std::string where = ports::shownValue(choice.host) + ":" + std::to_string(choice.tcpPort);
    net::ConnectResult r;
    const int64_t start = monotonicUs();
    std::unique_ptr<net::TcpLink> link = net::connectTcp(choice.host, choice.tcpPort, kConnectMs, r);
    const int64_t connectUs = monotonicUs() - start;
    using Outcome = net::ConnectResult::Outcome;
    switch (r.outcome) {
    case Outcome::connected: break;
    case Outcome::hostNotFound:
        error = {ERROR_FILE_NOT_FOUND, "host " + ports::shownValue(choice.host) + " not found (" + r.reason + ")"};
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
    if (choice.kind == PortChoice::Kind::socket)
        return openSocketPort(std::move(link), where, turnAwayMomentUs(connectUs), error);
    return openRfc2217Port(std::move(link), where, error);
}

}  // namespace bc::net
