// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "scope/dual_capture.h"

#include <cerrno>
#include <cstdio>

#include "platform/interrupt.h"
#include "platform/win32_api.h"
#include "scope/capture_csv.h"
#include "scope/capture_file.h"
#include "scope/command_channel.h"
#include "scope/console_batch.h"
#include "scope/dual_files.h"
#include "scope/learn_string.h"
#include "scope/sample_text.h"
#include "scope/scope_interface.h"
#include "scope/waveform_block.h"
#include "serial/com_port.h"

namespace bc {

namespace {

// A learn reply that fills the whole learn buffer may go on past it. Left in
// the port, its tail would become the start of channel 1's block and shift
// every sample of the capture, so it is read off (until a read brings
// nothing) before the first memory request. A device that never stops
// talking is given up on after 64 KiB, far beyond any learn string.
void dropLearnTail() {
    constexpr DWORD kMostDropped = 64 * 1024;
    unsigned char scratch[256];
    DWORD dropped = 0;
    DWORD got = 0;
    do {
        ReadFile(hPort, scratch, sizeof scratch, &got, nullptr);
        dropped += got;
    } while (got > 0 && dropped < kMostDropped);
    printf("learn reply filled %d bytes, %d further bytes dropped\n", int(scopeLearnMax), int(dropped));
}

DWORD readLearnString(int fd, char* learn) {
    ScopeSendCmd(fd, scopeCmdLearnRead);
    const DWORD got = count_rd(fd, "", learn, scopeLearnMax);
    learn[got] = '\0';
    if (got == scopeLearnMax) dropLearnTail();
    return got;
}

void printBlockHeader(const char* label, const unsigned char* b) {
    printf("%s:T:%c a:%c b: %c%c%c%c d:%c \n", label, b[0], b[1], b[2], b[3], b[4], b[5], blockChannelChar(b));
}

void printTraces(DWORD got, const unsigned char* block1, const unsigned char* block2) {
    printf("count_rd: %d %d TimeInterval:%f %f \n", int(got), int(scopeBlockSize), double(blockTimeInterval(block1)),
           double(blockTimeInterval(block2)));
    printBlockHeader("tr1", block1);
    printBlockHeader("tr2", block2);
    printf("\nchannel:%c", blockChannelChar(block1));
    printf("\nchannel:%c", blockChannelChar(block2));
}

// Channel 1 is plotted on the console; both channels go to each file.
void plotAndWriteSamples(const unsigned char* block1, const unsigned char* block2, CaptureFile& csv, CaptureFile& js) {
    ConsoleBatch plot;
    plot.used = 0;
    for (unsigned k = 0; k < 2 * scopeBlockSampleCount; k += 2) {
        if (k % 32 == 0) batchPrintf(plot, "\n");
        const int s1 = blockSample(block1, k);
        const int s2 = blockSample(block2, k);
        batchTake(plot, putDualPlotRow(batchRoom(plot), int(k), s1, s2));
        if (csv.stream) writeDualCsvRow(csv, s1, s2);
        if (js.stream) writeChartCall(js, s1, s2, int(k / 2));
    }
    batchPrintf(plot, "\n");
    batchFlush(plot);
}

}  // namespace

void scopeReadDual(int fd, int channel) {
    // A lost console ends the tool only once this capture's files are whole.
    holdOffConsoleLoss(true);
    // All cleared, so that anything a short reply leaves out reads as 0 and
    // the learn text is always terminated.
    char learn[scopeLearnMax + 1] = {};
    unsigned char block1[scopeBlockSize] = {};
    unsigned char block2[scopeBlockSize] = {};

    readLearnString(fd, learn);
    ScopeSendCmd(fd, scopeCmdMemory1);
    count_rd(fd, "", block1, scopeBlockSize);
    ScopeSendCmd(fd, scopeCmdMemory2);
    const DWORD got = count_rd(fd, "", block2, scopeBlockSize);

    CaptureFile csv = captureOpen("./op_scope.csv");
    CaptureFile js = captureOpen("./gbookFtemp.js");
    // With no CSV file the learn string goes to the console instead.
    errno = 0;
    lrnDump(csv.stream, learn);
    captureCheck(csv);
    if (csv.stream) writeDualCsvHead(csv, learn, channel);
    printf("count_rd: %d %d \n", int(got), int(scopeBlockSize));
    const float interval1 = blockTimeInterval(block1);
    if (js.stream) writeChartHead(js, learn, interval1);
    printTraces(got, block1, block2);
    if (csv.stream) writeCsvSamplingHead(csv, interval1);
    plotAndWriteSamples(block1, block2, csv, js);
    if (csv.stream) {
        writeCsvEnd(csv);
        captureClose(csv);
    }
    captureClose(js);
    holdOffConsoleLoss(false);
}

}  // namespace bc
