// A simulated text panel with keypad: four rows of twenty characters and a
// twelve-key pad, driven through register 0 as iss/text_panel_registers.h
// describes.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "iss/text_panel_registers.h"
#include "sim/i2c_device.h"

namespace bc::sim {

class TextPanelModel : public I2cDevice {
public:
    static constexpr int kRows = panel::kRows;
    static constexpr int kCols = panel::kCols;
    static constexpr uint16_t kKey1 = panel::kKey1;
    static constexpr uint16_t kKey3 = panel::kKey3;

    TextPanelModel();

    // ---- the keypad ----
    void press(uint16_t keys) { keys_ |= keys; }
    void release(uint16_t keys) { keys_ &= uint16_t(~keys); }
    uint16_t keys() const { return keys_; }
    // The key states that the next status reads show, one per read, before
    // the held keys show again.
    void queueKeys(uint16_t keys) { queued_.push_back(keys); }
    int statusReads() const { return statusReads_; }

    // ---- the screen ----
    std::string row(int r) const { return std::string(screen_[r], kCols); }
    std::string screen() const;             // the four rows, each ended by "\n"
    int cursor() const { return cursor_; }  // 0..79, row by row
    int freshScreens() const { return freshScreens_; }
    uint8_t revision = 0x05;

    void write(uint8_t reg, const uint8_t* data, size_t count, int64_t now) override;
    void read(uint8_t reg, uint8_t* into, size_t count, int64_t now) override;

private:
    void put(uint8_t byte);
    void command(uint8_t byte);
    void clear();

    char screen_[kRows][kCols];
    int cursor_ = 0;
    uint8_t pendingCommand_ = 0;  // 2 or 3 while their parameters come
    int paramsWanted_ = 0;
    int paramsGot_ = 0;
    uint8_t params_[2] = {};
    int freshScreens_ = 0;
    uint16_t keys_ = 0;
    std::deque<uint16_t> queued_;
    int statusReads_ = 0;
};

}  // namespace bc::sim
