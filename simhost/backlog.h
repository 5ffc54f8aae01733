// What the bench holds for a program that does not read its replies. The
// models answer only what they are sent, but one short request can bring
// thousands of bytes (a memory request, 18 bytes, brings a block of 8014):
// while this much waits to go, nothing more is taken from the program, whose
// own writes then wait in the system's buffers. That slows it; over the
// network, a client that then takes nothing for kStalledMs is dropped.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sim/sim_port.h"

namespace bc::sim {

constexpr size_t kBacklogMost = 256 * 1024;
constexpr int64_t kStalledMs = 3000;

// Whether the bench takes more from a client for whom `held` bytes wait to
// go, besides those the devices have yet to send.
inline bool takesMore(size_t held, const SimPort& port) { return held + port.pendingBytes() < kBacklogMost; }

}  // namespace bc::sim
