// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// The lines a capture writes for each of its 4000 samples, made by hand. A
// dual capture writes 12000 of them, and printf, reading its format afresh
// for every one, took most of the processor time the capture spends on its
// own output. Each routine writes exactly the bytes printf makes of the
// format named beside it, and returns the end of what it wrote.
#pragma once

#include <cstddef>

namespace bc {

// "%*d": value in decimal, right-aligned in a field of `width` columns, or
// left-aligned in one of -width columns when width is negative (printf takes
// a negative field width as the '-' flag); a number wider than its field is
// never cut. Needs room for the larger of 11 characters and |width|.
char* putDecimal(char* at, int value, int width);

// The longest row the plots below write for a 16-bit sample: its byte
// offset, two samples and their commas, the mark's field of up to 16447
// columns ((32767 + 128) / 2) and the line end.
constexpr size_t plotRowMost = 11 + 1 + 6 + 1 + 6 + 1 + 16447 + 1;

// The single capture's console plot row, "%5d,%3d,%*d\n" with k, v,
// plotWidth(v) and 1, for a 16-bit sample v.
char* putPlotRow(char* at, int k, int v);

// The dual capture's, "%5d,%3d,%3d,%*d\n" with k, s1, s2, plotWidth(s1) and
// 1, for 16-bit samples s1 and s2.
char* putDualPlotRow(char* at, int k, int s1, int s2);

// The single capture's CSV row, "%3d,\n".
char* putCsvRow(char* at, int v);

// The dual capture's CSV row, "%3d,%3d\n".
char* putDualCsvRow(char* at, int s1, int s2);

}  // namespace bc
