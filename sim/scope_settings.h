// The simulated oscilloscope's settings: everything its learn string holds,
// with the values a reset gives them.
#pragma once

#include <string>

namespace bc::sim {

struct ChannelSettings {
    int display = 1;
    int bwLimit = 0;
    int coupling = 0;
    int invert = 0;
    float offset = 2.0f;  // vertical position, volts
    int probe = 0;        // 0 1X, 1 10X, 2 100X
    float scale = 2.0f;   // volts per division
};

struct ScopeSettings {
    int displayWaveform = 12340;
    int accumulate = 0;
    int contrast = 20;
    int graticule = 0;
    ChannelSettings channel[2];
    int math = 0;
    int sweep = 0;                  // 0 Main, 1 Window, 2 WinZoom, 3 Roll, 4 XY
    float timebaseScale = 2.5e-6f;  // seconds per division
    float timebaseDelay = 0.0f;     // seconds
    float windowScale = 2.5e-7f;
    float windowDelay = 0.0f;
    int acquireMode = 0;
    int average = 0;
    int triggerType = 0;
    int triggerSource = 0;  // 0 channel 1, 1 channel 2
    int triggerMode = 1;
    int triggerSlope = 0;
    int triggerCouple = 1;
    int triggerReject = 0;
    int triggerNoiseReject = 0;
    float triggerLevel = 0.0f;  // volts
    int pulseMode = 0;
    float pulseTime = 0.0f;
    int videoType = 1;
    int videoPolarity = 0;
    int videoField = 0;
    int videoLine = 0;
    int cursorSource = 1;
    int cursorXDisplay = 0;
    int cursorX1 = 75;
    int cursorX2 = 175;
    int cursorYDisplay = 0;
    int cursorY1 = 54;
    int cursorY2 = 154;
    int ref1Display = 0;
    int ref1Locate = 50;
    int ref2Display = 0;
    int ref2Locate = -50;
    bool running = true;
};

// The learn string for these settings, in the instrument's layout (52
// settings; a freshly reset instrument gives 678 characters). `padTo`,
// when larger, adds further settings before the closing run state until the
// text is at least that long.
std::string learnStringOf(const ScopeSettings& s, size_t padTo = 0);

}  // namespace bc::sim
