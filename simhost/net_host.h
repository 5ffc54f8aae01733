// Serves a SimPort over TCP in real time, one client at a time: as an RFC
// 2217 server (with the loopback plug, so that a client sees CTS, DSR and
// carrier detect follow its RTS and DTR) or as raw bytes. A second client
// while one is served is turned away, as port servers do, even while the
// first says nothing. A client that does not read is slowed, then dropped
// (backlog.h), so that what waits for it stays bounded.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "net/address.h"
#include "sim/sim_port.h"
#include "simhost/com_port_server.h"

namespace bc::sim {

class NetHost {
public:
    NetHost() = default;
    ~NetHost();
    NetHost(const NetHost&) = delete;
    NetHost& operator=(const NetHost&) = delete;

    // Listens; on failure returns false with a reason.
    bool open(const net::NetworkAddress& address, std::string& error);
    // The address to give BENCHCOM_PORT, with the port actually taken.
    const std::string& url() const { return url_; }

    // Moves bytes both ways for at most `waitMs` (returning early once
    // anything has moved).
    void pump(SimPort& port, int waitMs);

    // When set, every data byte the client sends is also written here.
    std::FILE* wireLog = nullptr;

private:
    void accept(SimPort& port);
    void dropClient();
    void fromClient(SimPort& port);
    void deliver(SimPort& port);
    // Drops a client that has let the backlog fill and taken nothing of it
    // for kStalledMs.
    void dropIfStalled(SimPort& port);

    bool rfc2217_ = true;
    int listen_ = -1;
    int client_ = -1;
    std::string url_;
    ComPortServer server_;
    std::string toClient_;
    int64_t stalledSince_ = -1;  // when the backlog last filled with nothing taken since
};

}  // namespace bc::sim
