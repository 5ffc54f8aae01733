#include "sim/srf08_model.h"

namespace bc::sim {

using namespace srf08;

namespace {

int inUnit(int cm, uint8_t command) {
    if (command == kRangeInInches) return cm * 100 / 254;
    if (command == kRangeInMicroseconds) return cm * 58;  // the round trip at 343 m/s
    return cm;
}

}  // namespace

void Srf08Model::write(uint8_t first, const uint8_t* data, size_t count, int64_t now) {
    for (size_t i = 0; i < count; ++i) {
        const size_t r = first + i;
        if (r == kCommandRegister)
            range(data[i], now);
        else if (r == kGainRegister)
            gain_ = data[i];
        else if (r == kRangeRegister)
            rangeReg_ = data[i];
    }
}

void Srf08Model::range(uint8_t command, int64_t now) {
    if (command != kRangeInInches && command != kRangeInCm && command != kRangeInMicroseconds) return;
    ++rangings_;
    busyUntil_ = now + rangingMs;
    regs_[kRevisionRegister] = revision;
    regs_[kLightRegister] = light;
    for (size_t e = 0; e < size_t(kEchoes); ++e) {
        int v = e < echoesCm.size() ? inUnit(echoesCm[e], command) : 0;
        v = v < 0 ? 0 : v > 0xFFFF ? 0xFFFF : v;
        regs_[kFirstEchoRegister + 2 * e] = uint8_t(v >> 8);
        regs_[kFirstEchoRegister + 2 * e + 1] = uint8_t(v);
    }
}

void Srf08Model::read(uint8_t first, uint8_t* into, size_t count, int64_t now) {
    const bool busy = now < busyUntil_;
    for (size_t i = 0; i < count; ++i) into[i] = busy ? 0xFF : reg(first + int(i));
}

}  // namespace bc::sim
