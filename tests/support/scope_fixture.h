// A simulated oscilloscope on an open port in virtual time, a scratch
// directory for the capture files, and expected-file builders that work
// from the model's own settings and samples.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "serial/com_port.h"
#include "sim/scope_model.h"
#include "testkit/seam_harness.h"
#include "tests/support/capture.h"
#include "tests/support/scratch_dir.h"

namespace bc::test {

struct ScopeBench {
    sim::SeamHarness bench;
    sim::ScopeModel model;
    explicit ScopeBench(bool attached = true) {
        if (attached) bench.port.peer = &model;
        StdoutCapture quiet;
        openPort(9, 19200, 'N', '8');
    }
    // The messages the instrument heard, without their times.
    std::vector<std::string> heard() const {
        std::vector<std::string> out;
        for (const auto& h : model.heard) out.push_back(h.message);
        return out;
    }
};

// Runs the test inside a fresh empty directory, so that captures written to
// "./..." land there; goes back and removes it afterwards.
class InScratchDir {
public:
    InScratchDir() : home_(std::filesystem::current_path()) { std::filesystem::current_path(scratch_.dir); }
    ~InScratchDir() { std::filesystem::current_path(home_); }
    // A directory of that name makes fopen(name, "w+") fail.
    void block(const char* name) { std::filesystem::create_directory(name); }

private:
    std::filesystem::path home_;
    ScratchDir scratch_;
};

inline std::string readFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline bool exists(const char* name) { return std::filesystem::exists(name); }

template <typename... T>
std::string fmt(const char* format, T... values) {
    char out[512];
    snprintf(out, sizeof out, format, values...);
    return out;
}

// The file tail both captures share, from "Sampling Period" to "Waveform Data".
inline std::string samplingHead(float period) {
    return fmt("Sampling Period,%9.3E,\n", double(period)) + "Firmware, V1.26,\nTime, ,\nMode,Fast,\nWaveform Data,\n";
}

// The learn string one setting per line, ':' settings at the margin.
inline std::string settingPerLine(const std::string& learn) {
    std::string out;
    size_t start = 0;
    for (;;) {
        size_t semi = learn.find(';', start);
        std::string setting = learn.substr(start, semi == std::string::npos ? semi : semi - start);
        out += (setting.empty() || setting[0] != ':' ? "    " : "") + setting + "\n";
        if (semi == std::string::npos) return out;
        start = semi + 1;
    }
}

// A waveform block: header "#48008", period, channel byte, then the samples
// (zero past the ones given).
inline std::string makeBlock(float period, int channel, const std::vector<int>& samples) {
    std::string b = "#48008";
    uint32_t bits;
    memcpy(&bits, &period, 4);
    for (int shift = 24; shift >= 0; shift -= 8) b += char(bits >> shift);
    b += char(channel);
    b += std::string(3, '\0');
    for (size_t n = 0; n < 4000; ++n) {
        int v = n < samples.size() ? samples[n] : 0;
        b += char((v >> 8) & 0xFF);
        b += char(v & 0xFF);
    }
    return b;
}

}  // namespace bc::test
