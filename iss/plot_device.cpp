// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "iss/plot_device.h"

#include <cstdio>

#include "iss/adapter_interface.h"
#include "iss/plot_registers.h"
#include "platform/delay.h"
#include "serial/transfer.h"

namespace bc {

using namespace iss;
using namespace plot;

namespace {

constexpr int kPatternFrameLen = kAd1HeaderLen + 1 + kPatternBytes;  // 37
constexpr int kPointFrameLen = kAd1HeaderLen + 7;                    // 11

// The pattern: five full bytes, then 7F FF 7F 7F FF 7F FF, nineteen 7F and a
// closing FF.
void storePattern(unsigned char* at) {
    static const unsigned char head[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x7F, 0x7F, 0xFF, 0x7F, 0xFF};
    int i = 0;
    for (unsigned char b : head) at[i++] = b;
    while (i < kPatternBytes - 1) at[i++] = 0x7F;
    at[i] = 0xFF;
}

void storeHeader(unsigned char count, unsigned char lead) {
    ioBuf[0] = kCmdI2cAd1;
    ioBuf[1] = kPlotWrite;
    ioBuf[2] = plot::kRegister;
    ioBuf[3] = count;
    ioBuf[4] = lead;
}

unsigned char lowByte(int value) { return static_cast<unsigned char>(value & 0xFF); }

}  // namespace

int ppSendPattern(int fd) {
    storeHeader(kPatternBytes + 1, kLeadPattern);
    storePattern(ioBuf + 5);
    // One past the frame, not sent: the point lines that follow show it.
    ioBuf[kPatternFrameLen] = kPointEnd;
    writeIoBuf(fd, kPatternFrameLen);
    readIoBuf(fd, kI2cWriteReplyLen);
    printf(" pp: %d %d,  %d \n", kPatternFrameLen, ioBuf[3], ioBuf[kPatternFrameLen]);
    delayMs(600);
    return 0;
}

int ppSendPoint(int fd, int x, int y, int val1, int val2, int val3) {
    storeHeader(7, kLeadPoint);
    ioBuf[5] = lowByte(x);
    ioBuf[6] = lowByte(y);
    ioBuf[7] = lowByte(val1);
    ioBuf[8] = lowByte(val2);
    ioBuf[9] = lowByte(val3);
    ioBuf[10] = kPointEnd;
    writeIoBuf(fd, kPointFrameLen);
    readIoBuf(fd, kI2cWriteReplyLen);
    // The adapter's one-byte reply: non-zero when the device took the point.
    const int ack = ioBuf[0];
    printf(" pp: %d %d,  %d ack:%d\n", kPointFrameLen, ioBuf[3], ioBuf[kPatternFrameLen], ack);
    return 0;
}

void ppCircleDemo(int fd) {
    // x and y trace a closed integer circle of radius 30 (period 242 steps).
    int x = 30, y = 0;
    int n = 0;
    for (;;) {
        x = x + y / 4;
        y = y - x / 4;
        delayMs(600);
        printf(" x,y = %d,%d\n", x, y);
        const int px = x / 8 + 4;
        const int py = y / 9 + 4;
        ppSendPoint(fd, px, py, (n + 255) % 256, ((n + 32) * 2) % 256, (n * 4) % 256);
        // The value bytes depend on n modulo 256 only; wrapping it keeps the
        // count from overflowing in a demonstration that runs for ever.
        n = (n + 1) % 256;
    }
}

}  // namespace bc
