// What the simulated oscilloscope sees at its inputs, and how it turns that
// into the samples of an acquisition.
#pragma once

#include <array>
#include <cstdint>

#include "scope/scope_interface.h"
#include "sim/scope_settings.h"

namespace bc::sim {

enum class Shape { sine, square, triangle, dc };

// A signal generator on one input: dcV + amplitudeV * shape(f t), where a
// shape runs from -1 to 1 and rises through 0 at t = 0. A square wave stays
// high for `duty` of each period (a pulse generator's duty cycle).
struct SignalSource {
    Shape shape = Shape::sine;
    double frequencyHz = 40e3;
    double amplitudeV = 2.5;
    double dcV = 0.0;
    double duty = 0.5;

    double at(double t, double phase) const;
};

using Samples = std::array<int16_t, scopeBlockSampleCount>;

// The converter: scopeCountsPerDivision counts a division from the screen's
// centre line, the channel's position added to the signal before it is
// converted (volts = counts x scale / 25 - position, both channels alike).
// It is an 8-bit converter spanning the screen's ten divisions: a signal
// beyond about five divisions either side of the centre line saturates at
// its ends, as the trace does at the screen's edge.
inline constexpr int sampleMin = -128;
inline constexpr int sampleMax = 127;

// The record spans the ten divisions of the screen.
float samplingPeriodOf(const ScopeSettings& s);

// One acquisition of input `channel` (0 or 1). The trigger (on the source
// the settings name, rising slope) is at the record's centre, shifted by
// the time-base delay; `seed` picks the converter noise, up to `noiseLsb`
// counts either way.
Samples acquire(const ScopeSettings& s, const SignalSource (&inputs)[2], int channel, uint32_t seed, int noiseLsb);

// The frequency the trigger counter reads: that of the trigger source.
double triggerFrequency(const ScopeSettings& s, const SignalSource (&inputs)[2]);

}  // namespace bc::sim
