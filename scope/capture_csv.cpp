// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "scope/capture_csv.h"

#include "scope/sample_text.h"
#include "scope/scope_interface.h"

namespace bc {

void writeCsvSamplingHead(CaptureFile& csv, float timeInterval) {
    captureWrite(csv, "Sampling Period,%9.3E,\n", double(timeInterval));
    captureWrite(csv, "Firmware, V1.26,\n");
    captureWrite(csv, "Time, ,\n");
    captureWrite(csv, "Mode,Fast,\n");
    captureWrite(csv, "Waveform Data,\n");
}

void writeCsvEnd(CaptureFile& csv) { captureWrite(csv, "===========================\n"); }

void writeCsvRow(CaptureFile& csv, int v) {
    char row[16];
    captureWriteText(csv, row, putCsvRow(row, v));
}

void writeDualCsvRow(CaptureFile& csv, int s1, int s2) {
    char row[32];
    captureWriteText(csv, row, putDualCsvRow(row, s1, s2));
}

void writeCsvSource(CaptureFile& csv, int channel) {
    captureWrite(csv, channel == scopeChannel1 ? "Source,CH1,\n" : "Source,CH2,\n");
}

}  // namespace bc
