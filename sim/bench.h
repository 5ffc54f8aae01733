// The whole bench on one line, as the tool's routines assume it: the
// oscilloscope and the USB-ISS adapter share the port, and each message goes
// to the device its first byte names ('*' or ':' the instrument; 0x5A, 0x63,
// 0x55, 0x54 the adapter).
#pragma once

#include "sim/sim_port.h"

namespace bc::sim {

class Bench : public Peer {
public:
    Bench(Peer& scope, Peer& adapter) : scope_(scope), adapter_(adapter) {}

    void receive(const uint8_t* bytes, size_t count, int64_t now, SimPort& port) override;
    bool midMessage() const override { return current_ != nullptr; }

    // Bytes that began no message either device knows.
    size_t strayBytes() const { return stray_; }

private:
    Peer* deviceFor(uint8_t first);

    Peer& scope_;
    Peer& adapter_;
    Peer* current_ = nullptr;
    size_t stray_ = 0;
};

}  // namespace bc::sim
