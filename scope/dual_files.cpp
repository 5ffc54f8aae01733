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

void writeDualCsvHead(FILE* csv, const char* learn, int channel) {
    fprintf(csv, "Memory Length,4000,\n");
    fprintf(csv, "Trigger Level,%9.3E,\n", setting(learn, ":TRIG", "LEV"));
    writeCsvSource(csv, channel);
    // Channel 1's probe, whichever channel the selector names.
    const float probe = lrnGetFloat(learn, ":CHANnel1", "PROB");
    fprintf(csv, "Probe,%s,\n", settingLabel(probeLabels, probeLabelCount, probe));
    fprintf(csv, "Vertical Units,V,\n");
    fprintf(csv, "Vertical Scale,%9.3E,\n", setting(learn, ":CHANnel1", "SCAL"));
    fprintf(csv, "Vertical Position,%9.3E,\n", setting(learn, ":CHANnel1", "OFFS"));
    fprintf(csv, "Vertical2 Units,V,\n");
    fprintf(csv, "Vertical2 Scale,%9.3E,\n", setting(learn, ":CHANnel2", "SCAL"));
    fprintf(csv, "Vertical2 Position,%9.3E,\n", setting(learn, ":CHANnel2", "OFFS"));
    fprintf(csv, "Horizontal Units,s,\n");
    fprintf(csv, "Horizontal Scale,%9.3E,\n", setting(learn, ":TIM", "SCAL"));
    fprintf(csv, "Horizontal Position,%9.3E,\n", setting(learn, ":TIM", "DEL"));
    const float mode = lrnGetFloat(learn, ":TIM", "SWE");
    fprintf(csv, "Horizontal Mode,%s,\n", settingLabel(modeLabels, modeLabelCount, mode));
}

// The script only declares values and calls gbF; the page that loads it
// supplies gbF. Channel 1's display offset is the negated position, channel
// 2's the position itself: the script keeps both expressions as text.
void writeChartHead(FILE* js, const char* learn, float timeInterval) {
    fprintf(js, "var Vertical1Units='V'\n");
    fprintf(js, "var Vertical1Scale=%9G\n", setting(learn, ":CHANnel1", "SCAL"));
    fprintf(js, "var Vertical1Position=%9G\n", setting(learn, ":CHANnel1", "OFFS"));
    fprintf(js, "var Vertical2Units='V'\n");
    fprintf(js, "var Vertical2Scale=%9G\n", setting(learn, ":CHANnel2", "SCAL"));
    fprintf(js, "var Vertical2Position=%9G\n", setting(learn, ":CHANnel2", "OFFS"));
    fprintf(js, "var displayOffset1=-Vertical1Position*1.0/Vertical1Scale*50.0\n");
    fprintf(js, "var displayOffset2=+Vertical2Position*1.0/Vertical2Scale*50.0\n");
    fprintf(js, "timeInterval=%e\n", double(timeInterval));
}

void writeChartCall(FILE* js, int s1, int s2, int n) {
    fprintf(js, "gbF( 'vornel','%s','Sun Feb  22 10:30:47 UTC 2015 ','%s',%d,%d,0,0,'%d');\n",
            chartUserAtHost, chartHostAddress, s1, s2, n);
}

}  // namespace bc
