// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "led/max7219_demos.h"

#include <cstdio>

#include "iss/adapter_commands.h"
#include "led/max7219_sequences.h"
#include "led/max7219_setup.h"
#include "led/max7219_transfer.h"
#include "led/max7219_wiring.h"
#include "platform/delay.h"
#include "platform/runtime.h"
#include "platform/win32_api.h"

namespace bc {

using namespace max7219;

namespace {

// One dot walk of demoMax7219Xyz: eight single-segment steps, each held a
// further 600 ms. `at(i, x, y)` gives the step's bit and digit.
template <typename Step>
void dotWalk(int fd, Step at) {
    for (int i = 0; i < 8; ++i) {
        int x = 0, y = 0;
        at(i, x, y);
        sendMAX2719xyz(fd, x, y, 1);
        delayMs(600);
    }
}

constexpr int kBlankPattern = 3;

// Register n gets only bit n-1: a diagonal of single segments.
const int kDiagonal[] = {0x0101, 0x0202, 0x0304, 0x0408, 0x0510, 0x0620, 0x0740, 0x0880};

}  // namespace

void demoMax7219Xyz(int fd) {
    printf("\n ==================== \n");
    issVersion(fd);
    delayMs(600);
    issSerialNumber(fd);
    delayMs(600);
    printf("\n ==================== \n");
    max7219IoSetup(fd);
    // A pattern on digit 1, then every digit dark.
    static const int setUp[] = {kWake, kScanAll, kTestOff, kRawSegments, word(digitReg(1), 0xAA)};
    for (;;) {
        printf(" sendMAX2719xyz( fd , 1,1, 1 ); \n");
        sendMax7219Words(fd, setUp);
        sendMax7219Words(fd, kAllDigitsDark);
        // Digit registers as rows y, data bits as columns x of an 8x8 field:
        // column 0 (twice), column 7, both diagonals, row 0, row 7.
        dotWalk(fd, [](int i, int& x, int& y) { x = 0, y = i; });
        dotWalk(fd, [](int i, int& x, int& y) { x = 0, y = i; });
        dotWalk(fd, [](int i, int& x, int& y) { x = 7, y = i; });
        dotWalk(fd, [](int i, int& x, int& y) { x = i, y = i; });
        dotWalk(fd, [](int i, int& x, int& y) { x = 7 - i, y = i; });
        dotWalk(fd, [](int i, int& x, int& y) { x = i, y = 0; });
        dotWalk(fd, [](int i, int& x, int& y) { x = i, y = 7; });
    }
}

void demoMax7219Patterns(int fd) {
    // Code B everywhere, before the adapter has been set up by this routine.
    sendMax7219Word(fd, word(kRegDecodeMode, kCodeBAll));
    showMax7219Help(fd);
    clearMax7219(fd);
    sendMax7219Sequence(fd, 0, seqDigits);
    showMax7219Help(fd);
    showMax7219Help(fd);
    // Every other pattern, each followed by a blank display; pattern 7 is
    // the row of decimal points.
    static const int shown[] = {1, 2, 4, 5, 6, 7};
    for (int pattern : shown) {
        sendMax7219Sequence(fd, pattern, sequenceTable[pattern]);
        sendMax7219Sequence(fd, kBlankPattern, seqBlank);
    }

    // Code B on digits 1, 3, 5 and 7 (decode bits 0xAA), a dash with its
    // point on digit 1 (0xAA again: Code B ignores bits 6..4), and the
    // intensity stepped up and back.
    max7219IoSetup(fd);
    static const int brightness[] = {kWake,
                                     kScanAll,
                                     kTestOff,
                                     word(kRegDecodeMode, 0xAA),
                                     word(digitReg(1), 0xAA),
                                     word(kRegIntensity, 1),
                                     word(kRegIntensity, 3),
                                     word(kRegIntensity, 5),
                                     word(kRegIntensity, 1),
                                     kTestOff,
                                     kTestOff,
                                     kWake};
    sendMax7219Words(fd, brightness);
    max7219IoSetup(fd);
    clearMax7219(fd);
    _sleep(1);

    // HELP with "-70" after it: Code B is still on from showMax7219Help.
    showMax7219Help(fd);
    sendMax7219Word(fd, word(digitReg(0), 0));
    sendMax7219Word(fd, word(digitReg(1), 7));
    _sleep(4);
    clearMax7219(fd);
    _sleep(2);

    // Diagonals of single segments (no decode since clearMax7219), with the
    // scan limit shrunk to four digits and widened again between them.
    sendMax7219Words(fd, kDiagonal);
    _sleep(2);
    static const int scanLimits[] = {word(kRegScanLimit, 7), word(kRegScanLimit, 6), word(kRegScanLimit, 5),
                                     word(kRegScanLimit, 4), word(kRegScanLimit, 3), word(kRegScanLimit, 7)};
    sendMax7219Words(fd, scanLimits);
    sendMax7219Words(fd, kDiagonal);
    sendMax7219Word(fd, kTestOff);
    sendMax7219Word(fd, kRawSegments);
    sendMax7219Words(fd, kAllDigitsDark);
    sendMax7219Words(fd, kDiagonal);
    sendMax7219Word(fd, kTestOff);
}

}  // namespace bc
