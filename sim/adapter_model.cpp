#include "sim/adapter_model.h"

#include <algorithm>

#include "iss/adapter_interface.h"

namespace bc::sim {

using namespace iss;

namespace {

constexpr uint8_t kAck = 0xFF;
constexpr uint8_t kNack = 0x00;
constexpr uint8_t kUnknownCommand = 0x05;

bool isI2cMode(uint8_t mode) {
    const uint8_t speed = mode & 0xF0;  // bit 0 adds the serial port
    return speed >= 0x20 && speed <= 0x80;
}

}  // namespace

AdapterModel::AdapterModel() : mode_(kModeI2c100k) {}

void AdapterModel::attach(uint8_t busAddress, I2cDevice* device) { devices_[busAddress >> 1] = device; }

bool AdapterModel::inIoMode() const { return mode_ == kModeIo; }
bool AdapterModel::inI2cMode() const { return isI2cMode(mode_); }

void AdapterModel::receive(const uint8_t* bytes, size_t count, int64_t now, SimPort& port) {
    pending_.insert(pending_.end(), bytes, bytes + count);
    std::vector<uint8_t> reply;
    size_t start = 0;
    while (start < pending_.size()) {
        const int length = frameLength(pending_.data() + start, pending_.size() - start);
        if (length < 0) {  // no frame starts here: skip a byte and look again
            ++discardedBytes;
            ++start;
            continue;
        }
        if (length == 0 || pending_.size() - start < size_t(length)) break;
        take(pending_.data() + start, size_t(length), reply, now);
        start += size_t(length);
    }
    pending_.erase(pending_.begin(), pending_.begin() + long(start));

    if (silent) return;
    if (replyLimit >= 0 && reply.size() > size_t(replyLimit)) reply.resize(size_t(replyLimit));
    port.send(reply.data(), reply.size(), now + replyDelayMs);
}

void AdapterModel::take(const uint8_t* frame, size_t length, std::vector<uint8_t>& reply, int64_t now) {
    if (keepLog) frames.emplace_back(frame, frame + length);
    ++frameCount_;
    const size_t before = reply.size();
    switch (frame[0]) {
    case kCmdAdapter: adapterCommand(frame, reply); break;
    case kCmdSetPins: setPins(frame[1], reply, now); break;
    default: i2cTransfer(frame, reply, now); break;
    }
    // Every frame is answered with exactly the module's length for it.
    reply.resize(before + size_t(answerLength(frame, length)), 0);
}

void AdapterModel::adapterCommand(const uint8_t* frame, std::vector<uint8_t>& reply) {
    switch (frame[1]) {
    case kSubVersion: reply.insert(reply.end(), {moduleId, firmware, mode_}); break;
    case kSubSerial:
        for (int i = 0; i < kSerialNumberLen; ++i)
            reply.push_back(i < int(serialNumber.size()) ? uint8_t(serialNumber[size_t(i)]) : '0');
        break;
    case kSubMode: modeCommand(frame[2], frame[3], reply); break;
    case kSubSelect:
        // Selects what the next 5A 12 reports.
        selected_ = frame[2];
        reply.push_back(kAck);
        break;
    default:  // kSubRead8: a status page of eight bytes
        reply.insert(reply.end(), {selected_, mode_, pinTypes_, pins_, uint8_t(frameCount_ >> 24),
                                   uint8_t(frameCount_ >> 16), uint8_t(frameCount_ >> 8), uint8_t(frameCount_)});
        break;
    }
}

void AdapterModel::modeCommand(uint8_t mode, uint8_t operand, std::vector<uint8_t>& reply) {
    if (mode == kModeIo) {
        mode_ = kModeIo;
        pinTypes_ = operand;
    } else if (mode == kModeIoChange) {
        pinTypes_ = operand;
    } else if (isI2cMode(mode)) {
        mode_ = mode;
    } else {
        reply.insert(reply.end(), {kNack, kUnknownCommand});
        return;
    }
    reply.insert(reply.end(), {kAck, 0x00});
}

void AdapterModel::setPins(uint8_t pattern, std::vector<uint8_t>& reply, int64_t now) {
    if (keepLog) pinFrames.push_back(pattern);
    if (!inIoMode()) {
        reply.push_back(kNack);
        return;
    }
    // Only pins typed as outputs follow the pattern; the output latch keeps
    // its levels across mode commands.
    for (int pin = 0; pin < 4; ++pin) {
        if ((pinTypes_ >> (2 * pin)) & 3) continue;
        const uint8_t bit = uint8_t(1 << pin);
        pins_ = uint8_t((pins_ & ~bit) | (pattern & bit));
    }
    if (pinDevice_) pinDevice_->pinsChanged(pins_, now);
    reply.push_back(kAck);
}

I2cDevice* AdapterModel::deviceAt(uint8_t busAddress) const {
    auto it = devices_.find(busAddress >> 1);
    return it == devices_.end() ? nullptr : it->second;
}

// A transfer reaches the device only in an I2C mode and when something
// answers at the address; otherwise a write is not acknowledged and a read
// brings zeros.
void AdapterModel::i2cTransfer(const uint8_t* frame, std::vector<uint8_t>& reply, int64_t now) {
    const bool withRegister = frame[0] == kCmdI2cAd1;
    const uint8_t address = frame[1];
    const size_t count = withRegister ? frame[3] : frame[2];
    const uint8_t* data = frame + (withRegister ? kAd1HeaderLen : kAd0HeaderLen);
    I2cDevice* device = inI2cMode() ? deviceAt(address) : nullptr;

    if (!(address & kI2cReadBit)) {
        // A device that does not answer its address takes nothing.
        if (device && !device->acknowledges(now)) device = nullptr;
        if (device && withRegister) device->write(frame[2], data, count, now);
        if (device && !withRegister) device->writeRaw(data, count, now);
        reply.push_back(device ? kAck : kNack);
        return;
    }
    const size_t at = reply.size();
    reply.resize(at + count, 0);
    if (device && withRegister) device->read(frame[2], reply.data() + at, count, now);
    if (device && !withRegister) device->readCurrent(reply.data() + at, count, now);
}

}  // namespace bc::sim
