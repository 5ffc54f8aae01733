// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "scope/sample_text.h"

#include <cstring>

#include "scope/waveform_block.h"

namespace bc {

namespace {

// Most fields are a few columns wide: a loop costs less than a call there.
char* putSpaces(char* at, size_t count) {
    if (count > 16) return static_cast<char*>(memset(at, ' ', count)) + count;
    while (count--) *at++ = ' ';
    return at;
}

}  // namespace

char* putDecimal(char* at, int value, int width) {
    // Digits from the last, into the end of a buffer wide enough for
    // -2147483648; the magnitude in unsigned so that it too has one.
    char digits[11];
    char* first = digits + sizeof digits;
    unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value);
    do {
        *--first = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0) *--first = '-';
    const size_t length = size_t(digits + sizeof digits - first);
    const long long wide = width;
    const size_t field = size_t(wide < 0 ? -wide : wide);
    const size_t pad = field > length ? field - length : 0;
    if (width > 0) at = putSpaces(at, pad);
    for (const char* d = first; d < digits + sizeof digits;) *at++ = *d++;
    if (width < 0) at = putSpaces(at, pad);
    return at;
}

char* putPlotRow(char* at, int k, int v) {
    at = putDecimal(at, k, 5);
    *at++ = ',';
    at = putDecimal(at, v, 3);
    *at++ = ',';
    at = putDecimal(at, 1, plotWidth(v));
    *at++ = '\n';
    return at;
}

char* putDualPlotRow(char* at, int k, int s1, int s2) {
    at = putDecimal(at, k, 5);
    *at++ = ',';
    at = putDecimal(at, s1, 3);
    *at++ = ',';
    at = putDecimal(at, s2, 3);
    *at++ = ',';
    at = putDecimal(at, 1, plotWidth(s1));
    *at++ = '\n';
    return at;
}

char* putCsvRow(char* at, int v) {
    at = putDecimal(at, v, 3);
    *at++ = ',';
    *at++ = '\n';
    return at;
}

char* putDualCsvRow(char* at, int s1, int s2) {
    at = putDecimal(at, s1, 3);
    *at++ = ',';
    at = putDecimal(at, s2, 3);
    *at++ = '\n';
    return at;
}

}  // namespace bc
