// A simulated plot device: an eight-by-eight field of colour cells, written
// only, as iss/plot_registers.h describes (the closing byte of a point is
// optional here). Reads bring 0xFF, as from an empty bus.
#pragma once

#include <cstdint>
#include <string>

#include "iss/plot_registers.h"
#include "sim/i2c_device.h"

namespace bc::sim {

class PlotModel : public I2cDevice {
public:
    static constexpr int kSize = plot::kSize;
    struct Colour {
        uint8_t r = 0, g = 0, b = 0;
        bool operator==(const Colour&) const = default;
    };

    Colour cell(int x, int y) const { return cells_[y & 7][x & 7]; }
    int points() const { return points_; }
    int patterns() const { return patterns_; }
    // Eight lines of eight characters, row y = 0 first: '.' for a dark cell,
    // otherwise the hex digit of its brightest channel's high nibble ('0'
    // for a dim one).
    std::string render() const;

    void write(uint8_t reg, const uint8_t* data, size_t count, int64_t now) override;
    void read(uint8_t reg, uint8_t* into, size_t count, int64_t now) override;

private:
    void pattern(const uint8_t* levels);

    Colour cells_[kSize][kSize];
    int points_ = 0;
    int patterns_ = 0;
};

}  // namespace bc::sim
