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

// A sample row: "%3d,\n" in the single capture's file, "%3d,%3d\n" with
// both channels in the dual capture's.
void writeCsvRow(CaptureFile& csv, int v);
void writeDualCsvRow(CaptureFile& csv, int s1, int s2);

// "Source,CH1," for the channel-1 selector, "Source,CH2," for any other.
void writeCsvSource(CaptureFile& csv, int channel);

}  // namespace bc
