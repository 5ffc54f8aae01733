// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// Texts for the two settings the instrument reports as table indexes.
#pragma once

namespace bc {

inline constexpr int probeLabelCount = 6;
inline constexpr int modeLabelCount = 8;

// Probe attenuation by probe setting: "1X", "10X", "100X", then empty texts.
extern const char* const probeLabels[probeLabelCount];
// Time-base sweep mode by setting: "Main", "Window", "WinZoom", "Roll", "XY",
// then empty texts.
extern const char* const modeLabels[modeLabelCount];

// The entry of `table` (of `count` entries) for a setting the instrument
// reported as a float, the float truncated toward zero as the index. A
// setting that truncates outside the table (negative, too large, infinite,
// not a number) gives the empty text.
const char* settingLabel(const char* const* table, int count, float setting);

}  // namespace bc
