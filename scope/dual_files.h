// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// The heads of the dual capture's two files, filled from the learn string.
#pragma once

#include <cstddef>

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

// The gbF call for sample n with both channels' values: what
// "gbF( 'vornel','%s','Sun Feb  22 10:30:47 UTC 2015 ','%s',%d,%d,0,0,'%d');\n"
// makes of the two texts above and the three numbers, in at most
// chartCallMost bytes.
constexpr size_t chartCallMost = 128;
char* putChartCall(char* at, int s1, int s2, int n);

// Writes that call to the chart script.
void writeChartCall(CaptureFile& js, int s1, int s2, int n);

}  // namespace bc
