// Scripted presses of the text panel's keys, for demonstrations and tests:
// "1@2s,3@5s" presses key 1 two seconds after the bench starts and key 3 at
// five seconds; "1@2.5s+3s" holds it for three seconds (default one second,
// long enough for a 600 ms poll to see it).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bc::sim {

struct KeyPress {
    int key;       // 1 to 8
    int64_t atMs;  // from the bench's start
    int64_t holdMs;
};

// Parses a script; on error returns false with a message.
bool parseKeyScript(const std::string& script, std::vector<KeyPress>& presses, std::string& error);

// The keys held at `ms`, one bit per key (key 1 is bit 0).
uint8_t keysHeldAt(const std::vector<KeyPress>& presses, int64_t ms);

}  // namespace bc::sim
