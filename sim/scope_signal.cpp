#include "sim/scope_signal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bc::sim {

namespace {

double unitShape(Shape shape, double cycles, double duty) {
    const double phase = cycles - std::floor(cycles);  // 0..1, rising through 0 at 0
    switch (shape) {
    case Shape::sine: return std::sin(2.0 * std::numbers::pi * phase);
    case Shape::square: return phase < duty ? 1.0 : -1.0;
    case Shape::triangle: {
        const double p = phase + 0.25 - std::floor(phase + 0.25);
        return 1.0 - 4.0 * std::fabs(p - 0.5);
    }
    case Shape::dc: return 0.0;
    }
    return 0.0;
}

// The phase (in cycles) at which the source rises through `level`, so that
// the trigger point sits at t = 0; 0 when the signal never reaches it.
double triggerPhase(const SignalSource& src, double level) {
    if (src.amplitudeV <= 0.0) return 0.0;
    const double u = (level - src.dcV) / src.amplitudeV;
    if (u <= -1.0 || u >= 1.0) return 0.0;
    switch (src.shape) {
    case Shape::sine: return std::asin(u) / (2.0 * std::numbers::pi);
    case Shape::triangle: return u / 4.0;
    default: return 0.0;
    }
}

// xorshift32: the same seed gives the same noise, so a frozen acquisition
// reads the same every time it is fetched.
uint32_t nextRandom(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

}  // namespace

double SignalSource::at(double t, double phase) const {
    return dcV + amplitudeV * unitShape(shape, frequencyHz * t + phase, duty);
}

float samplingPeriodOf(const ScopeSettings& s) { return s.timebaseScale * 10.0f / float(scopeBlockSampleCount); }

Samples acquire(const ScopeSettings& s, const SignalSource (&inputs)[2], int channel, uint32_t seed, int noiseLsb) {
    const SignalSource& trig = inputs[s.triggerSource == 1 ? 1 : 0];
    const double phase0 = triggerPhase(trig, s.triggerLevel);
    const double shift = phase0 / (trig.frequencyHz > 0 ? trig.frequencyHz : 1.0);
    const ChannelSettings& ch = s.channel[channel];
    const SignalSource& src = inputs[channel];
    const double dt = samplingPeriodOf(s);
    uint32_t noise = seed * 2654435761u + uint32_t(channel) * 40503u + 1u;
    if (noise == 0) noise = 1;

    Samples out{};
    for (int n = 0; n < int(out.size()); ++n) {
        const double t = s.timebaseDelay + (n - int(out.size()) / 2) * dt + shift;
        double volts = src.at(t, 0.0);
        if (ch.invert) volts = -volts;
        double counts = std::round((volts + ch.offset) / ch.scale * scopeCountsPerDivision);
        if (!std::isfinite(counts)) counts = 0.0;
        if (noiseLsb > 0) counts += int(nextRandom(noise) % uint32_t(2 * noiseLsb + 1)) - noiseLsb;
        out[size_t(n)] = int16_t(std::clamp(counts, double(sampleMin), double(sampleMax)));
    }
    return out;
}

double triggerFrequency(const ScopeSettings& s, const SignalSource (&inputs)[2]) {
    return inputs[s.triggerSource == 1 ? 1 : 0].frequencyHz;
}

}  // namespace bc::sim
