// A simulated USB-ISS adapter: it parses the host's bytes as a stream of
// frames (they may arrive in any chunks; each frame's length follows from its
// command code and count bytes), answers every frame with a reply of the
// frame's fixed length, keeps its mode, drives its four IO pins in IO mode and
// passes I2C transfers to the devices on its bus.
//
// Replies, as the module gives them: 5A 01 module id, firmware, mode; 5A 03
// the eight serial-number characters (one more than the routine reads); 5A
// 02 FF 00 (00 05 for an unknown mode); 5A 10 v 00 selects a
// page and answers FF; 5A 12 answers the page value, mode, pin types, pin
// levels and the frame count (32 bits, high byte first); 63 FF in IO mode,
// 00 otherwise; an I2C write FF when a device took it, 00 otherwise; an I2C
// read the device's bytes (zeros when none answers). A device busy with
// something else (the range finder while it ranges) does not acknowledge a
// write. The mode starts at I2C 100 kHz, so the bus works until the LED
// routines switch to IO mode. Replies reach the host a USB frame (1 ms)
// after their frame.
//
// A bench that routes several models on one line by a message's first byte
// should keep sending to this one while partialFrame() is not empty: a panel
// text arrives after its header in a write of its own.
//
// It needs nothing beyond receive() and SimPort::send(), so it can sit behind
// any of the ways the bench is served.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "iss/adapter_interface.h"
#include "sim/i2c_device.h"
#include "sim/sim_port.h"

namespace bc::sim {

class AdapterModel : public Peer {
public:
    AdapterModel();

    // ---- wiring ----
    // A device answering at the 8-bit bus address (either form).
    void attach(uint8_t busAddress, I2cDevice* device);
    void attachPins(PinDevice* device) { pinDevice_ = device; }

    // ---- identity ----
    uint8_t moduleId = 0x07;
    uint8_t firmware = 0x05;
    std::string serialNumber = "00012345";  // eight characters are sent (padded with '0', or cut)

    // ---- fault injection ----
    bool silent = false;  // frames are taken and acted on, nothing is answered
    int replyLimit = -1;  // >= 0: every reply cut to at most this many bytes
    // Replies reach the host this long after the frame: about a USB frame on
    // the real module; 0 for tests that want none.
    int64_t replyDelayMs = iss::kReplyDelayMs;

    // ---- state ----
    uint8_t mode() const { return mode_; }
    void setMode(uint8_t mode) { mode_ = mode; }
    uint8_t pinTypes() const { return pinTypes_; }
    uint8_t pins() const { return pins_; }
    bool inIoMode() const;
    bool inI2cMode() const;

    // ---- what the host sent (kept while keepLog is set; a long-running
    // bench can clear it to bound its memory) ----
    bool keepLog = true;
    std::vector<std::vector<uint8_t>> frames;  // every complete frame, in order
    std::vector<uint8_t> pinFrames;            // the byte of every set-pins frame
    size_t discardedBytes = 0;                 // bytes that began no known frame
    // The bytes of the frame under way (not yet complete).
    const std::vector<uint8_t>& partialFrame() const { return pending_; }

    void receive(const uint8_t* bytes, size_t count, int64_t now, SimPort& port) override;
    bool midMessage() const override { return !pending_.empty(); }

private:
    void take(const uint8_t* frame, size_t length, std::vector<uint8_t>& reply, int64_t now);
    void adapterCommand(const uint8_t* frame, std::vector<uint8_t>& reply);
    void modeCommand(uint8_t mode, uint8_t operand, std::vector<uint8_t>& reply);
    void setPins(uint8_t pattern, std::vector<uint8_t>& reply, int64_t now);
    void i2cTransfer(const uint8_t* frame, std::vector<uint8_t>& reply, int64_t now);
    I2cDevice* deviceAt(uint8_t busAddress) const;

    std::vector<uint8_t> pending_;
    std::map<uint8_t, I2cDevice*> devices_;  // by 7-bit address
    PinDevice* pinDevice_ = nullptr;
    uint8_t mode_;
    uint8_t pinTypes_ = 0x55;  // two bits a pin: 00 output, 01 input
    uint8_t pins_ = 0;
    uint8_t selected_ = 0;  // the value of the last 5A 10 frame
    uint32_t frameCount_ = 0;
};

}  // namespace bc::sim
