// Helpers for the LED tests: the pin frames a word should make, and the
// register words the chip took.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "iss/adapter_commands.h"
#include "tests/support/iss_fixture.h"

namespace bc::test {

// The pin bytes that clock `word` into the chip: load high then low twice,
// three frames a bit from bit 15 down (data set, clock up, clock down), load
// high twice.
inline Bytes pinFramesFor(uint16_t word) {
    Bytes pins = {8, 0, 0};
    for (int bit = 15; bit >= 0; --bit) {
        const uint8_t d = (word >> bit) & 1 ? 4 : 0;
        pins.insert(pins.end(), {d, uint8_t(d + 2), d});
    }
    pins.insert(pins.end(), {8, 8});
    return pins;
}

// The words the chip latched, without the no-op words (register 0).
inline std::vector<uint16_t> registerWords(const std::vector<uint16_t>& latched) {
    std::vector<uint16_t> out;
    for (uint16_t w : latched)
        if ((w & 0x0F00) != 0) out.push_back(w);
    return out;
}

// The IO set-up frames: IO mode, then the pin types, all outputs.
inline std::vector<Bytes> ioSetUpFrames() { return {{0x5A, 0x02, 0x00, 0x00}, {0x5A, 0x02, 0x10, 0x00}}; }

// Puts the adapter's pins under the set-pins frames, as the LED routines
// that do no set-up of their own expect.
// The frame records start afresh after it.
inline void ioSetUp(IssBench& b) {
    b.run([] {
        issSetIoMode(0, 0);
        issChangeIoMode(0, 0);
    });
    b.rig.adapter.frames.clear();
    b.rig.adapter.pinFrames.clear();
}

// The words sendMax7219Word printed, in order ("MAX2719: %04X  " lines).
inline std::vector<std::string> printedWords(const std::string& out) {
    std::vector<std::string> words;
    for (const std::string& line : lines(out))
        if (line.rfind("MAX2719: ", 0) == 0) words.push_back(line.substr(9));
    return words;
}

}  // namespace bc::test
