// Debian's ser2net as a child process, on 127.0.0.1 with a configuration of
// its own: one device served twice, as RFC 2217 (telnet(rfc2217) accepter)
// and as raw TCP (tcp accepter), with the character delay off. For the tests
// and the benchmark, which play or serve the device behind it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace bc::sim {

class Ser2net {
public:
    Ser2net();
    ~Ser2net();
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    // Serves `device` with the line settings `line` (ser2net's "9600n81"
    // form); true once ser2net listens on both ports.
    bool start(const std::string& device, const std::string& line = "9600n81");

    std::string rfc2217Url() const { return "rfc2217://127.0.0.1:" + std::to_string(rfc2217Port); }
    std::string socketUrl() const { return "socket://127.0.0.1:" + std::to_string(rawPort); }

    // Waits (at most 2 s) until ser2net has closed `device`: it serves one
    // client of a device at a time, and turns the next one away while it is
    // still closing the device for the last.
    bool awaitRelease(const std::string& device) const;

    // Ends ser2net at once, as a crash or a power cut would.
    void kill();

    uint16_t rfc2217Port = 0, rawPort = 0;

private:
    void writeConfig(const std::string& device, const std::string& line);
    bool spawn();
    bool listening() const;

    std::string dir_;
    pid_t pid_ = -1;
};

}  // namespace bc::sim
