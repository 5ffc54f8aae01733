// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "scope/dual_files.h"

#include "scope/capture_csv.h"
#include "scope/learn_string.h"
#include "scope/setting_labels.h"

namespace bc {

const char chartUserAtHost[] = "bench@benchcom";
const char chartHostAddress[] = "127.0.0.1";

namespace {

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

void writeChartCall(CaptureFile& js, int s1, int s2, int n) {
    captureWrite(js, "gbF( 'vornel','%s','Sun Feb  22 10:30:47 UTC 2015 ','%s',%d,%d,0,0,'%d');\n", chartUserAtHost,
                 chartHostAddress, s1, s2, n);
}

}  // namespace bc
