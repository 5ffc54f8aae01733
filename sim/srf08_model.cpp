#include "sim/srf08_model.h"

namespace bc::sim {

namespace {

constexpr uint8_t kRangeInches = 0x50;
constexpr uint8_t kRangeCm = 0x51;
constexpr uint8_t kRangeMicroseconds = 0x52;
constexpr size_t kMaxEchoes = 17;

int inUnit(int cm, uint8_t command) {
    if (command == kRangeInches) return cm * 100 / 254;
    if (command == kRangeMicroseconds) return cm * 58;  // the round trip at 343 m/s
    return cm;
}

}  // namespace

void Srf08Model::write(uint8_t first, const uint8_t* data, size_t count, int64_t now) {
    for (size_t i = 0; i < count; ++i) {
        const size_t r = first + i;
        if (r == 0) range(data[i], now);
        else if (r == 1) gain_ = data[i];
        else if (r == 2) rangeReg_ = data[i];
    }
}

void Srf08Model::range(uint8_t command, int64_t now) {
    if (command != kRangeInches && command != kRangeCm && command != kRangeMicroseconds) return;
    ++rangings_;
    busyUntil_ = now + rangingMs;
    regs_[0] = revision;
    regs_[1] = light;
    for (size_t e = 0; e < kMaxEchoes; ++e) {
        int v = e < echoesCm.size() ? inUnit(echoesCm[e], command) : 0;
        v = v < 0 ? 0 : v > 0xFFFF ? 0xFFFF : v;
        regs_[2 + 2 * e] = uint8_t(v >> 8);
        regs_[3 + 2 * e] = uint8_t(v);
    }
}

void Srf08Model::read(uint8_t first, uint8_t* into, size_t count, int64_t now) {
    const bool busy = now < busyUntil_;
    for (size_t i = 0; i < count; ++i) into[i] = busy ? 0xFF : reg(first + int(i));
}

}  // namespace bc::sim
