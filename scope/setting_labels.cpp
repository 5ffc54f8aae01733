// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "scope/setting_labels.h"

namespace bc {

const char* const probeLabels[probeLabelCount] = {"1X", "10X", "100X", "", "", ""};
const char* const modeLabels[modeLabelCount] = {"Main", "Window", "WinZoom", "Roll", "XY", "", "", ""};

// The range is checked on the float before it is converted: converting a
// float whose truncation does not fit an int is undefined, and every
// comparison with a NaN is false, so NaN fails the test too.
const char* settingLabel(const char* const* table, int count, float setting) {
    if (!(setting > -1.0f && setting < float(count))) return "";
    return table[int(setting)];
}

}  // namespace bc
