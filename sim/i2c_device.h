// A device on the simulated adapter's I2C bus.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bc::sim {

class I2cDevice {
public:
    virtual ~I2cDevice() = default;
    // The master wrote `count` bytes to register `reg` onward.
    virtual void write(uint8_t reg, const uint8_t* data, size_t count, int64_t now) = 0;
    // The master reads `count` bytes from register `reg` onward.
    virtual void read(uint8_t reg, uint8_t* into, size_t count, int64_t now) = 0;
    // A read with no register byte starts at register 0 on these devices.
    virtual void readCurrent(uint8_t* into, size_t count, int64_t now) { read(0, into, count, now); }
    // False while the device does not answer its address (the range finder
    // while it ranges): a write is then not acknowledged. A read of it
    // brings what read() says it brings.
    virtual bool acknowledges(int64_t now) const {
        (void)now;
        return true;
    }
    // A write with no register byte: its first byte names the register.
    virtual void writeRaw(const uint8_t* data, size_t count, int64_t now) {
        if (count > 0) write(data[0], data + 1, count - 1, now);
    }
};

// Something wired to the adapter's four IO pins.
class PinDevice {
public:
    virtual ~PinDevice() = default;
    // The pins (bits 0..3) now stand at `levels`.
    virtual void pinsChanged(uint8_t levels, int64_t now) = 0;
};

}  // namespace bc::sim
