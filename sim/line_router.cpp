#include "sim/line_router.h"

namespace bc::sim {

Peer* LineRouter::deviceFor(uint8_t first) {
    switch (first) {
    case '*':
    case ':':
    case '\r':  // the line feed or stray terminator after an instrument command
    case '\n': return &scope_;
    case 0x5A:
    case 0x63:
    case 0x55:
    case 0x54: return &adapter_;
    default: return nullptr;
    }
}

// Bytes are handed over one at a time so that a message split across writes,
// or two messages in one write, still reach the right device.
void LineRouter::receive(const uint8_t* bytes, size_t count, int64_t now, SimPort& port) {
    for (size_t i = 0; i < count; ++i) {
        if (!current_) current_ = deviceFor(bytes[i]);
        if (!current_) {
            ++stray_;
            continue;
        }
        current_->receive(bytes + i, 1, now, port);
        if (!current_->midMessage()) current_ = nullptr;
    }
}

}  // namespace bc::sim
