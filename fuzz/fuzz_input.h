// A fuzz input read front to back: the choices of a run first, then the
// device's replies. Past the end every read gives zeros, so any input is a
// complete run.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace bc::fuzz {

class Input {
public:
    Input(const uint8_t* data, size_t size) : at_(data), end_(data + size) {}

    bool empty() const { return at_ == end_; }
    size_t left() const { return size_t(end_ - at_); }

    uint8_t byte() { return at_ < end_ ? *at_++ : 0; }
    uint16_t u16() {
        const unsigned hi = byte();
        return uint16_t(hi << 8 | byte());
    }
    // Four bytes, high first: any int, negative and huge ones included.
    int32_t i32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | byte();
        return int32_t(v);
    }
    std::string bytes(size_t n) {
        n = std::min(n, left());
        std::string s(reinterpret_cast<const char*>(at_), n);
        at_ += n;
        return s;
    }
    std::string rest() { return bytes(left()); }

private:
    const uint8_t* at_;
    const uint8_t* end_;
};

}  // namespace bc::fuzz
