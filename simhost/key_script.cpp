#include "simhost/key_script.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace bc::sim {

namespace {

// "2s", "2.5s", "2500ms" or a bare number of seconds.
bool parseDuration(const std::string& text, int64_t& ms) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    std::string unit = end;
    if (end == text.c_str() || !std::isfinite(value) || value < 0 || value > 1e7) return false;
    if (unit == "ms")
        ms = int64_t(value);
    else if (unit == "s" || unit.empty())
        ms = int64_t(value * 1000);
    else
        return false;
    return true;
}

bool parsePress(const std::string& item, KeyPress& press) {
    size_t at = item.find('@');
    if (at != 1 || item[0] < '1' || item[0] > '8') return false;
    press.key = item[0] - '0';
    std::string when = item.substr(2), hold = "1s";
    if (size_t plus = when.find('+'); plus != std::string::npos) {
        hold = when.substr(plus + 1);
        when = when.substr(0, plus);
    }
    return parseDuration(when, press.atMs) && parseDuration(hold, press.holdMs);
}

}  // namespace

bool parseKeyScript(const std::string& script, std::vector<KeyPress>& presses, std::string& error) {
    std::stringstream items(script);
    for (std::string item; std::getline(items, item, ',');) {
        KeyPress press{};
        if (!parsePress(item, press)) {
            error = "bad key press '" + item + "': KEY@TIME[+HOLD] with a key from 1 to 8, e.g. 1@2s or 3@1500ms+2s";
            return false;
        }
        presses.push_back(press);
    }
    return true;
}

uint8_t keysHeldAt(const std::vector<KeyPress>& presses, int64_t ms) {
    uint8_t held = 0;
    for (const KeyPress& p : presses)
        if (ms >= p.atMs && ms < p.atMs + p.holdMs) held |= uint8_t(1u << (p.key - 1));
    return held;
}

}  // namespace bc::sim
