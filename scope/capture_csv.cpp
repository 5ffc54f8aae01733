#include "scope/capture_csv.h"

#include "scope/scope_interface.h"

namespace bc {

void writeCsvSamplingHead(FILE* csv, float timeInterval) {
    fprintf(csv, "Sampling Period,%9.3E,\n", double(timeInterval));
    fprintf(csv, "Firmware, V1.26,\n");
    fprintf(csv, "Time, ,\n");
    fprintf(csv, "Mode,Fast,\n");
    fprintf(csv, "Waveform Data,\n");
}

void writeCsvEnd(FILE* csv) { fprintf(csv, "===========================\n"); }

void writeCsvSource(FILE* csv, int channel) {
    fprintf(csv, channel == scopeChannel1 ? "Source,CH1,\n" : "Source,CH2,\n");
}

}  // namespace bc
