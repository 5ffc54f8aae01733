#include "sim/text_panel_model.h"

#include <cstring>

namespace bc::sim {

using namespace panel;

namespace {

constexpr int kCells = TextPanelModel::kRows * TextPanelModel::kCols;
constexpr uint8_t kFreeBufferSpace = 64;

}  // namespace

TextPanelModel::TextPanelModel() { std::memset(screen_, ' ', sizeof screen_); }

std::string TextPanelModel::screen() const {
    std::string out;
    for (int r = 0; r < kRows; ++r) out += row(r) + "\n";
    return out;
}

void TextPanelModel::write(uint8_t first, const uint8_t* data, size_t count, int64_t) {
    if (first != kRegister) return;  // only the command register takes writes
    for (size_t i = 0; i < count; ++i) put(data[i]);
}

void TextPanelModel::put(uint8_t byte) {
    if (paramsGot_ < paramsWanted_) {
        params_[paramsGot_++] = byte;
        if (paramsGot_ == paramsWanted_) command(pendingCommand_);
        return;
    }
    if (byte >= 32) {
        screen_[cursor_ / kCols][cursor_ % kCols] = char(byte);
        cursor_ = (cursor_ + 1) % kCells;
        return;
    }
    if (byte == kCursorTo || byte == kCursorToRowCol) {
        pendingCommand_ = byte;
        paramsWanted_ = byte == kCursorTo ? 1 : 2;
        paramsGot_ = 0;
        return;
    }
    command(byte);
}

void TextPanelModel::command(uint8_t byte) {
    const int row = cursor_ / kCols;
    switch (byte) {
    case kCursorHome: cursor_ = 0; break;
    case kCursorTo:
        if (params_[0] >= 1 && params_[0] <= kCells) cursor_ = params_[0] - 1;
        break;
    case kCursorToRowCol:
        if (params_[0] >= 1 && params_[0] <= kRows && params_[1] >= 1 && params_[1] <= kCols)
            cursor_ = (params_[0] - 1) * kCols + params_[1] - 1;
        break;
    case kBackspace:
        cursor_ = (cursor_ + kCells - 1) % kCells;
        screen_[cursor_ / kCols][cursor_ % kCols] = ' ';
        break;
    case kNextRow: cursor_ = (cursor_ + kCols) % kCells; break;
    case kFreshScreen: clear(); break;
    case kStartOfRow: cursor_ = row * kCols; break;
    default: break;  // kNothing and the display's other controls change no text
    }
}

void TextPanelModel::clear() {
    std::memset(screen_, ' ', sizeof screen_);
    cursor_ = 0;
    ++freshScreens_;
}

void TextPanelModel::read(uint8_t first, uint8_t* into, size_t count, int64_t) {
    ++statusReads_;
    uint16_t keys = keys_;
    if (!queued_.empty()) {
        keys = queued_.front();
        queued_.pop_front();
    }
    uint8_t regs[kStatusBytes];
    regs[kStatusFreeSpace] = kFreeBufferSpace;
    regs[kStatusKeysLow] = uint8_t(keys);
    regs[kStatusKeysHigh] = uint8_t(keys >> 8);
    regs[kStatusRevision] = revision;
    for (size_t i = 0; i < count; ++i) {
        const size_t r = first + i;
        into[i] = r < sizeof regs ? regs[r] : 0;
    }
}

}  // namespace bc::sim
