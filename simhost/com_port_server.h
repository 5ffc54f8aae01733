// The server's side of Telnet COM Port Control (RFC 2217) for a simulated
// port: the client's settings, break, RTS and DTR reach the SimPort, each
// answered with the value it took; the modem lines the loopback plug makes of
// them go back as NOTIFY-MODEMSTATE, before the answer, so that a client that
// has its answer also knows the lines. Pure: no sockets.
#pragma once

#include <cstdint>
#include <string>

#include "net/telnet.h"
#include "sim/sim_port.h"

namespace bc::sim {

class ComPortServer final : public net::telnet::Sink {
public:
    // The server's opening requests.
    void start(std::string& out);
    // The client's bytes: data goes to the port, commands are carried out;
    // what to send back is appended to `out`.
    void receive(const uint8_t* bytes, size_t count, SimPort& port, int64_t now, std::string& out);
    // The port's bytes for the client, each 255 doubled.
    static void data(const uint8_t* bytes, size_t count, std::string& out) {
        net::telnet::appendData(bytes, count, out);
    }
    // A NOTIFY-MODEMSTATE when the lines have changed since the last one.
    void reportModemLines(SimPort& port, std::string& out);

    // ---- net::telnet::Sink ----
    void negotiation(uint8_t verb, uint8_t option) override;
    void subnegotiation(uint8_t option, const uint8_t* payload, size_t size) override;

private:
    uint8_t control(uint8_t value);
    void answer(uint8_t command, uint8_t value);

    net::telnet::Decoder decoder_;
    net::telnet::Options options_;
    // During receive():
    SimPort* port_ = nullptr;
    int64_t now_ = 0;
    std::string* out_ = nullptr;
    uint8_t lines_ = 0;  // the line bits last reported
    uint8_t modemMask_ = 0xFF;
    bool reported_ = false;  // a first report has gone
};

}  // namespace bc::sim
