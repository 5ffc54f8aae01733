// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "scope/single_capture.h"

#include <cstdio>

#include "platform/delay.h"
#include "platform/interrupt.h"
#include "platform/win32_api.h"
#include "scope/capture_csv.h"
#include "scope/capture_file.h"
#include "scope/command_channel.h"
#include "scope/console_batch.h"
#include "scope/sample_text.h"
#include "scope/scope_interface.h"
#include "scope/setting_labels.h"
#include "scope/waveform_block.h"

namespace bc {

namespace {

struct ChannelTexts {
    const char* memory;
    const char* file;
    const char* probe;
    const char* scale;
    const char* offset;
};

ChannelTexts textsFor(int channel) {
    if (channel == scopeChannel1)
        return {scopeCmdMemory1, "./op_scope1.csv", scopeQryProbe1, scopeQryScale1, scopeQryOffset1};
    return {scopeCmdMemory2, "./op_scope2.csv", scopeQryProbe2, scopeQryScale2, scopeQryOffset2};
}

void writeNumberLine(CaptureFile& csv, const char* format, int fd, const char* query) {
    captureWrite(csv, format, double(scopeQueryValue(fd, query)));
}

// Lines 1 to 11, each setting asked for just before its line is written.
void writeSettingsHead(CaptureFile& csv, int fd, int channel, const ChannelTexts& t) {
    captureWrite(csv, "Memory Length,4000,\n");
    writeNumberLine(csv, "Trigger Level,%9.3E,\n", fd, scopeQryTriggerLevel);
    writeCsvSource(csv, channel);
    const float probe = scopeQueryValue(fd, t.probe);
    captureWrite(csv, "Probe,%s,\n", settingLabel(probeLabels, probeLabelCount, probe));
    captureWrite(csv, "Vertical Units,V,\n");
    writeNumberLine(csv, "Vertical Scale,%9.3E,\n", fd, t.scale);
    writeNumberLine(csv, "Vertical Position,%9.3E,\n", fd, t.offset);
    captureWrite(csv, "Horizontal Units,s,\n");
    writeNumberLine(csv, "Horizontal Scale,%9.3E,\n", fd, scopeQryTimebaseScale);
    writeNumberLine(csv, "Horizontal Position,%9.3E,\n", fd, scopeQryTimebaseDelay);
    const float mode = scopeQueryValue(fd, scopeQryTimebaseSweep);
    captureWrite(csv, "Horizontal Mode,%s,\n", settingLabel(modeLabels, modeLabelCount, mode));
}

void printBlockTrace(const unsigned char* block, DWORD got) {
    const float interval = blockTimeInterval(block);
    printf("count_rd: %d %d \n", int(got), int(scopeBlockSize));
    printf("count_rd: %d %d TimeInterval:%f\n", int(got), int(scopeBlockSize), double(interval));
    printf("%c a: %c b: %c%c%c%c d:%c \n", block[0], block[1], block[2], block[3], block[4], block[5],
           blockChannelChar(block));
    printf("\nchannel:%c", blockChannelChar(block));
}

// One console plot row per sample, an empty line before every 16th; the
// row shows the sample's byte offset, its value, and a 1 further right the
// larger the value.
void plotAndWriteSamples(const unsigned char* block, CaptureFile& csv) {
    ConsoleBatch plot;
    plot.used = 0;
    for (unsigned k = 0; k < 2 * scopeBlockSampleCount; k += 2) {
        if (k % 32 == 0) batchPrintf(plot, "\n");
        const int v = blockSample(block, k);
        batchTake(plot, putPlotRow(batchRoom(plot), int(k), v));
        if (csv.stream) writeCsvRow(csv, v);
    }
    batchPrintf(plot, "\n");
    batchFlush(plot);
}

}  // namespace

void scopeReadAquire(int fd, int channel) {
    // A lost console ends the tool only once this capture's files are whole.
    holdOffConsoleLoss(true);
    const ChannelTexts t = textsFor(channel);
    // Cleared so that samples a short or missing reply leaves out read as 0
    // rather than as whatever the stack held.
    unsigned char block[scopeBlockSize] = {};
    printf("scopeReadAquire(fd,\"1\");\n");
    ScopeSendCmd(fd, t.memory);
    delayMs(600);
    const DWORD got = count_rd(fd, "", block, scopeBlockSize);

    CaptureFile csv = captureOpen(t.file);
    if (csv.stream) writeSettingsHead(csv, fd, channel, t);
    printBlockTrace(block, got);
    if (csv.stream) writeCsvSamplingHead(csv, blockTimeInterval(block));
    plotAndWriteSamples(block, csv);
    if (csv.stream) {
        writeCsvEnd(csv);
        captureClose(csv);
    }
    holdOffConsoleLoss(false);
}

}  // namespace bc
