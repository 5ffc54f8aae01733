// Lines the single- and dual-channel CSV files share.
#pragma once

#include <cstdio>

namespace bc {

// The four lines that end every settings head and the one before the
// samples: "Sampling Period" with the block's period, "Firmware", "Time",
// "Mode", "Waveform Data".
void writeCsvSamplingHead(FILE* csv, float timeInterval);

// The line after the last sample.
void writeCsvEnd(FILE* csv);

// "Source,CH1," for the channel-1 selector, "Source,CH2," for any other.
void writeCsvSource(FILE* csv, int channel);

}  // namespace bc
