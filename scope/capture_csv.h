// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// Lines the single- and dual-channel CSV files share.
#pragma once

#include "scope/capture_file.h"

namespace bc {

// The four lines that end every settings head and the one before the
// samples: "Sampling Period" with the block's period, "Firmware", "Time",
// "Mode", "Waveform Data".
void writeCsvSamplingHead(CaptureFile& csv, float timeInterval);

// The line after the last sample.
void writeCsvEnd(CaptureFile& csv);

// "Source,CH1," for the channel-1 selector, "Source,CH2," for any other.
void writeCsvSource(CaptureFile& csv, int channel);

}  // namespace bc
