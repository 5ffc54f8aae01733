#include "sim/plot_model.h"

#include <algorithm>

namespace bc::sim {

using namespace plot;

void PlotModel::write(uint8_t reg, const uint8_t* data, size_t count, int64_t) {
    if (reg != kRegister || count == 0) return;
    if (data[0] == kLeadPattern && count >= size_t(1 + kPatternBytes)) {
        pattern(data + 1);
    } else if (data[0] == kLeadPoint && count >= size_t(kPointBytes)) {
        ++points_;
        const int x = data[1], y = data[2];
        if (x < kSize && y < kSize) cells_[y][x] = Colour{data[3], data[4], data[5]};
    }
}

void PlotModel::pattern(const uint8_t* levels) {
    ++patterns_;
    for (int i = 0; i < kSize * kSize; ++i) {
        const uint8_t nibble = (i % 2 == 0) ? levels[i / 2] >> 4 : levels[i / 2] & 0x0F;
        const uint8_t grey = uint8_t(nibble * 17);
        cells_[i / kSize][i % kSize] = Colour{grey, grey, grey};
    }
}

void PlotModel::read(uint8_t, uint8_t* into, size_t count, int64_t) { std::fill(into, into + count, uint8_t(0xFF)); }

std::string PlotModel::render() const {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const Colour& c = cells_[y][x];
            const uint8_t top = std::max({c.r, c.g, c.b});
            out += (c == Colour{}) ? '.' : hex[top >> 4];
        }
        out += '\n';
    }
    return out;
}

}  // namespace bc::sim
