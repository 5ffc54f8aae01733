// The one line the tool's routines assume the whole bench shares: the
// oscilloscope and the USB-ISS adapter sit on the same port, and the router
// hands each message to the device its first byte names ('*' or ':' the instrument; 0x5A, 0x63,
// 0x55, 0x54 the adapter).
#pragma once

#include "sim/sim_port.h"

namespace bc::sim {

class LineRouter : public Peer {
public:
    LineRouter(Peer& scope, Peer& adapter) : scope_(scope), adapter_(adapter) {}

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
