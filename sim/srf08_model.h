// A simulated SRF08 ultrasonic range finder. Writing 0x50, 0x51 or 0x52 to
// register 0 starts a ranging in inches, centimetres or microseconds; for the
// 65 ms it lasts the device does not answer on the bus (reads bring 0xFF).
// Then register 0 holds the software revision, register 1 the light sensor
// and registers 2..35 up to seventeen echoes, each high byte first.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/i2c_device.h"

namespace bc::sim {

class Srf08Model : public I2cDevice {
public:
    // The distances of the objects in front of it, nearest first, in cm.
    std::vector<int> echoesCm = {100, 300};
    uint8_t light = 0x80;
    uint8_t revision = 0x0A;
    int64_t rangingMs = 65;

    int rangings() const { return rangings_; }
    uint8_t reg(int n) const { return n >= 0 && n < kRegisters ? regs_[n] : 0; }

    void write(uint8_t first, const uint8_t* data, size_t count, int64_t now) override;
    void read(uint8_t first, uint8_t* into, size_t count, int64_t now) override;

private:
    static constexpr int kRegisters = 36;
    void range(uint8_t command, int64_t now);

    uint8_t regs_[kRegisters] = {};
    uint8_t gain_ = 31;
    uint8_t rangeReg_ = 255;
    int64_t busyUntil_ = 0;
    int rangings_ = 0;
};

}  // namespace bc::sim
