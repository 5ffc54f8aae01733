#include "sim/scope_setting_paths.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace bc::sim {

std::vector<SettingEntry> settingEntries(ScopeSettings& s) {
    std::vector<SettingEntry> e = {
        {"DISPlay:WAVeform", &s.displayWaveform, nullptr, false},
        {"DISPlay:ACCumulate", &s.accumulate, nullptr, false},
        {"DISPlay:CONTrast", &s.contrast, nullptr, false},
        {"DISPlay:GRATicule", &s.graticule, nullptr, false},
        {"CHANnel1:MATH", &s.math, nullptr, false},
        {"TIMebase:SWEep", &s.sweep, nullptr, false},
        {"TIMebase:SCALe", nullptr, &s.timebaseScale, true},
        {"TIMebase:DELay", nullptr, &s.timebaseDelay, false},
        {"TIMebase:WINDow:SCALe", nullptr, &s.windowScale, true},
        {"TIMebase:WINDow:DELay", nullptr, &s.windowDelay, false},
        {"ACQuire:MODe", &s.acquireMode, nullptr, false},
        {"ACQuire:AVERage", &s.average, nullptr, false},
        {"TRIGger:TYPe", &s.triggerType, nullptr, false},
        {"TRIGger:SOURce", &s.triggerSource, nullptr, false},
        {"TRIGger:MODe", &s.triggerMode, nullptr, false},
        {"TRIGger:SLOPe", &s.triggerSlope, nullptr, false},
        {"TRIGger:COUPle", &s.triggerCouple, nullptr, false},
        {"TRIGger:REJect", &s.triggerReject, nullptr, false},
        {"TRIGger:NREJ", &s.triggerNoiseReject, nullptr, false},
        {"TRIGger:LEVel", nullptr, &s.triggerLevel, false},
        {"TRIGger:PULSe:MODe", &s.pulseMode, nullptr, false},
        {"TRIGger:PULSe:TIMe", nullptr, &s.pulseTime, false},
        {"VIDeo:TYPe", &s.videoType, nullptr, false},
        {"VIDeo:POLarity", &s.videoPolarity, nullptr, false},
        {"VIDeo:FIELd", &s.videoField, nullptr, false},
        {"VIDeo:LINe", &s.videoLine, nullptr, false},
        {"CURSor:SOURce", &s.cursorSource, nullptr, false},
        {"CURSor:XDISPlay", &s.cursorXDisplay, nullptr, false},
        {"CURSor:X1Position", &s.cursorX1, nullptr, false},
        {"CURSor:X2Position", &s.cursorX2, nullptr, false},
        {"CURSor:YDISPlay", &s.cursorYDisplay, nullptr, false},
        {"CURSor:Y1Position", &s.cursorY1, nullptr, false},
        {"CURSor:Y2Position", &s.cursorY2, nullptr, false},
        {"REF1:DISPlay", &s.ref1Display, nullptr, false},
        {"REF1:LOCate", &s.ref1Locate, nullptr, false},
        {"REF2:DISPlay", &s.ref2Display, nullptr, false},
        {"REF2:LOCate", &s.ref2Locate, nullptr, false},
    };
    static const char* const channelPaths[2][7] = {
        {"CHANnel1:DISPlay", "CHANnel1:BWLimit", "CHANnel1:COUPling", "CHANnel1:INVert", "CHANnel1:OFFSet",
         "CHANnel1:PROBe", "CHANnel1:SCALe"},
        {"CHANnel2:DISPlay", "CHANnel2:BWLimit", "CHANnel2:COUPling", "CHANnel2:INVert", "CHANnel2:OFFSet",
         "CHANnel2:PROBe", "CHANnel2:SCALe"}};
    for (int n = 0; n < 2; ++n) {
        ChannelSettings& c = s.channel[n];
        const char* const* p = channelPaths[n];
        e.push_back({p[0], &c.display, nullptr, false});
        e.push_back({p[1], &c.bwLimit, nullptr, false});
        e.push_back({p[2], &c.coupling, nullptr, false});
        e.push_back({p[3], &c.invert, nullptr, false});
        e.push_back({p[4], nullptr, &c.offset, false});
        e.push_back({p[5], &c.probe, nullptr, false});
        e.push_back({p[6], nullptr, &c.scale, true});
    }
    return e;
}

bool pathMatches(const ScpiCommand& cmd, const char* path) {
    std::string_view rest = path;
    size_t i = 0;
    while (!rest.empty()) {
        size_t colon = rest.find(':');
        std::string_view part = rest.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
        size_t digits = part.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(part[digits - 1]))) --digits;
        const int suffix = digits < part.size() ? std::atoi(std::string(part.substr(digits)).c_str()) : 0;
        if (i >= cmd.nodes.size() || !matchesMnemonic(cmd.nodes[i], part.substr(0, digits), suffix)) return false;
        ++i;
    }
    return i == cmd.nodes.size();
}

bool parseSettingValue(const std::string& argument, double& value) {
    std::string upper;
    for (char c : argument) upper += char(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "ON") return value = 1.0, true;
    if (upper == "OFF") return value = 0.0, true;
    if (argument.empty()) return false;
    char* end = nullptr;
    value = std::strtod(argument.c_str(), &end);
    return end && *end == '\0' && std::isfinite(value);
}

}  // namespace bc::sim
