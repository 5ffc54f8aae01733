// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// The heads of the dual capture's two files, filled from the learn string.
#pragma once

#include "scope/capture_file.h"

namespace bc {

// The fixed texts of the chart script's gbF calls: the user at host and
// the host address the capture is labelled with.
extern const char chartUserAtHost[];
extern const char chartHostAddress[];

// The 14 settings lines of "./op_scope.csv", from "Memory Length" to
// "Horizontal Mode".
void writeDualCsvHead(CaptureFile& csv, const char* learn, int channel);

// Lines 1 to 9 of the chart script: scales and positions of both channels,
// the two display offsets and the sampling period.
void writeChartHead(CaptureFile& js, const char* learn, float timeInterval);

// One gbF call for sample n with both channels' values.
void writeChartCall(CaptureFile& js, int s1, int s2, int n);

}  // namespace bc
