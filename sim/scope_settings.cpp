#include "sim/scope_settings.h"

#include <cstdio>
#include <cstring>

namespace bc::sim {

namespace {

template <typename... T>
void append(std::string& out, const char* format, T... values) {
    char piece[256];
    snprintf(piece, sizeof piece, format, values...);
    out += piece;
}

void appendChannel(std::string& out, int n, const ChannelSettings& c) {
    append(out, ":CHANnel%d:DISPlay %d;BWLimit %d;COUPling %d;INVert %d;OFFSet %.3e;PROBe %d;SCALe %.3e;", n, c.display,
           c.bwLimit, c.coupling, c.invert, double(c.offset), c.probe, double(c.scale));
}

}  // namespace

std::string learnStringOf(const ScopeSettings& s, size_t padTo) {
    std::string out;
    append(out, ":DISPlay:WAVeform %d;ACCumulate %d;CONTrast %d;GRATicule %d;", s.displayWaveform, s.accumulate,
           s.contrast, s.graticule);
    appendChannel(out, 1, s.channel[0]);
    appendChannel(out, 2, s.channel[1]);
    append(out, ":CHANnel1:MATH %d;", s.math);
    append(out, ":TIMebase:SWEep %d;SCALe %.3e;DELay %.3e;WINDow:SCALe %.3E;DELay %.3E;", s.sweep,
           double(s.timebaseScale), double(s.timebaseDelay), double(s.windowScale), double(s.windowDelay));
    append(out, ":ACQuire:MODe %d;AVERage %d;", s.acquireMode, s.average);
    append(out, ":TRIGger:TYPe %d;SOURce %d;MODe %d;SLOP %d;COUPle %d;REJect %d;NREJ %d;LEVel %.3E;", s.triggerType,
           s.triggerSource, s.triggerMode, s.triggerSlope, s.triggerCouple, s.triggerReject, s.triggerNoiseReject,
           double(s.triggerLevel));
    append(out, "PULSe:MODe: %d;TIMe %.3E;", s.pulseMode, double(s.pulseTime));
    append(out, ":VIDeo:TYPe %d;POLarity %d;FIELd %d;LINe %d;", s.videoType, s.videoPolarity, s.videoField,
           s.videoLine);
    append(out, ":CURSor:SOURce %d;XDISPlay %d;X1Position %d;X2Position %d;", s.cursorSource, s.cursorXDisplay,
           s.cursorX1, s.cursorX2);
    append(out, "YDISPlay %d;Y1Position %d;Y2Position %d;", s.cursorYDisplay, s.cursorY1, s.cursorY2);
    append(out, ":REF1:DISPlay %d;LOCate %d;:REF2:DISPlay %d;LOCate %d;", s.ref1Display, s.ref1Locate, s.ref2Display,
           s.ref2Locate);
    // Measurement slots that a real instrument with more options reports too.
    const char* runState = s.running ? ":RUN" : ":STOP";
    for (int slot = 1; out.size() + strlen(runState) < padTo; ++slot) append(out, ":MEASure%d:SOURce 1;", slot);
    out += runState;
    return out;
}

}  // namespace bc::sim
