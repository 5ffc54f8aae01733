// A simulated SRF08 ultrasonic range finder (its registers: iss/srf08_registers.h).
// A ranging command fills the echo registers with the distances of the
// objects in front of it, in the unit asked for.
#pragma once

#include <cstdint>
#include <vector>

#include "iss/srf08_registers.h"
#include "sim/i2c_device.h"

namespace bc::sim {

class Srf08Model : public I2cDevice {
public:
    // The distances of the objects in front of it, nearest first, in cm.
    std::vector<int> echoesCm = {100, 300};
    uint8_t light = 0x80;
    uint8_t revision = 0x0A;
    int64_t rangingMs = srf08::kRangingMs;

    int rangings() const { return rangings_; }
    uint8_t reg(int n) const { return n >= 0 && n < srf08::kRegisters ? regs_[n] : 0; }

    // While it ranges it does not answer on the bus: a write is not
    // acknowledged and a read brings 0xFF bytes.
    bool acknowledges(int64_t now) const override { return now >= busyUntil_; }
    void write(uint8_t first, const uint8_t* data, size_t count, int64_t now) override;
    void read(uint8_t first, uint8_t* into, size_t count, int64_t now) override;

private:
    void range(uint8_t command, int64_t now);

    uint8_t regs_[srf08::kRegisters] = {};
    uint8_t gain_ = 31;
    uint8_t rangeReg_ = 255;
    int64_t busyUntil_ = 0;
    int rangings_ = 0;
};

}  // namespace bc::sim
