// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "scope/waveform_block.h"

#include <cstdint>
#include <cstring>

#include "scope/scope_interface.h"

namespace bc {

float blockTimeInterval(const unsigned char* block) {
    const unsigned char* b = block + scopeBlockIntervalAt;
    const uint32_t bits = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
    float value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

int blockChannelChar(const unsigned char* block) { return '0' + block[scopeBlockChannelAt]; }

int blockSample(const unsigned char* block, unsigned k) {
    const unsigned char* s = block + scopeBlockSamplesAt + k;
    return int16_t(uint16_t(s[0] << 8 | s[1]));
}

}  // namespace bc
