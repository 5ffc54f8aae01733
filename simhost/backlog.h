// What the bench holds for a program that does not read its replies. The
// models answer only what they are sent, but one short request can bring
// thousands of bytes (a memory request, 18 bytes, brings a block of 8014):
// while this much waits to go, nothing more is taken from the program, whose
// own writes then wait in the system's buffers. That slows it; over the
// network, a client that then takes nothing for kStalledMs is dropped.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bc::sim {

constexpr size_t kBacklogMost = 256 * 1024;
constexpr int64_t kStalledMs = 3000;

}  // namespace bc::sim
