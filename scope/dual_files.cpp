// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "scope/dual_files.h"

#include <cstring>

#include "scope/capture_csv.h"
#include "scope/learn_string.h"
#include "scope/sample_text.h"
#include "scope/setting_labels.h"

// The two fixed texts of every gbF call, spelt once for the names below and
// for the call's fixed start.
#define BC_CHART_USER_AT_HOST "bench@benchcom"
#define BC_CHART_HOST_ADDRESS "127.0.0.1"

namespace bc {

const char chartUserAtHost[] = BC_CHART_USER_AT_HOST;
const char chartHostAddress[] = BC_CHART_HOST_ADDRESS;

namespace {

// Everything of a gbF call before its first number: what
// "gbF( 'vornel','%s','Sun Feb  22 10:30:47 UTC 2015 ','%s'," makes of the
// two texts above.
const char kChartCallStart[] =
    "gbF( 'vornel','" BC_CHART_USER_AT_HOST "','Sun Feb  22 10:30:47 UTC 2015 ','" BC_CHART_HOST_ADDRESS "',";
// Its start, three numbers of up to 11 characters and what stands between
// and after them.
static_assert(sizeof kChartCallStart - 1 + 3 * 11 + 1 + 6 + 4 <= chartCallMost);

double setting(const char* learn, const char* section, const char* key) {
    return double(lrnGetFloat(learn, section, key));
}

}  // namespace

void writeDualCsvHead(CaptureFile& csv, const char* learn, int channel) {
    captureWrite(csv, "Memory Length,4000,\n");
    captureWrite(csv, "Trigger Level,%9.3E,\n", setting(learn, ":TRIG", "LEV"));
    writeCsvSource(csv, channel);
    // Channel 1's probe, whichever channel the selector names.
    const float probe = lrnGetFloat(learn, ":CHANnel1", "PROB");
    captureWrite(csv, "Probe,%s,\n", settingLabel(probeLabels, probeLabelCount, probe));
    captureWrite(csv, "Vertical Units,V,\n");
    captureWrite(csv, "Vertical Scale,%9.3E,\n", setting(learn, ":CHANnel1", "SCAL"));
    captureWrite(csv, "Vertical Position,%9.3E,\n", setting(learn, ":CHANnel1", "OFFS"));
    captureWrite(csv, "Vertical2 Units,V,\n");
    captureWrite(csv, "Vertical2 Scale,%9.3E,\n", setting(learn, ":CHANnel2", "SCAL"));
    captureWrite(csv, "Vertical2 Position,%9.3E,\n", setting(learn, ":CHANnel2", "OFFS"));
    captureWrite(csv, "Horizontal Units,s,\n");
    captureWrite(csv, "Horizontal Scale,%9.3E,\n", setting(learn, ":TIM", "SCAL"));
    captureWrite(csv, "Horizontal Position,%9.3E,\n", setting(learn, ":TIM", "DEL"));
    const float mode = lrnGetFloat(learn, ":TIM", "SWE");
    captureWrite(csv, "Horizontal Mode,%s,\n", settingLabel(modeLabels, modeLabelCount, mode));
}

// The script only declares values and calls gbF; the page that loads it
// supplies gbF. Channel 1's display offset is the negated position, channel
// 2's the position itself: the script keeps both expressions as text.
void writeChartHead(CaptureFile& js, const char* learn, float timeInterval) {
    captureWrite(js, "var Vertical1Units='V'\n");
    captureWrite(js, "var Vertical1Scale=%9G\n", setting(learn, ":CHANnel1", "SCAL"));
    captureWrite(js, "var Vertical1Position=%9G\n", setting(learn, ":CHANnel1", "OFFS"));
    captureWrite(js, "var Vertical2Units='V'\n");
    captureWrite(js, "var Vertical2Scale=%9G\n", setting(learn, ":CHANnel2", "SCAL"));
    captureWrite(js, "var Vertical2Position=%9G\n", setting(learn, ":CHANnel2", "OFFS"));
    captureWrite(js, "var displayOffset1=-Vertical1Position*1.0/Vertical1Scale*50.0\n");
    captureWrite(js, "var displayOffset2=+Vertical2Position*1.0/Vertical2Scale*50.0\n");
    captureWrite(js, "timeInterval=%e\n", double(timeInterval));
}

char* putChartCall(char* at, int s1, int s2, int n) {
    memcpy(at, kChartCallStart, sizeof kChartCallStart - 1);
    at += sizeof kChartCallStart - 1;
    at = putDecimal(at, s1, 0);
    *at++ = ',';
    at = putDecimal(at, s2, 0);
    static const char kZeros[] = ",0,0,'";
    memcpy(at, kZeros, sizeof kZeros - 1);
    at = putDecimal(at + sizeof kZeros - 1, n, 0);
    static const char kEnd[] = "');\n";
    memcpy(at, kEnd, sizeof kEnd - 1);
    return at + sizeof kEnd - 1;
}

void writeChartCall(CaptureFile& js, int s1, int s2, int n) {
    char line[chartCallMost];
    captureWriteText(js, line, putChartCall(line, s1, s2, n));
}

}  // namespace bc
