#include "led/max7219_demos.h"

#include <cstdio>

#include "app/delay.h"
#include "iss/adapter_commands.h"
#include "led/max7219_sequences.h"
#include "led/max7219_setup.h"
#include "led/max7219_transfer.h"
#include "platform/platform.h"

namespace bc {

namespace {

template <int N>
void sendWords(int fd, const int (&words)[N]) {
    for (int word : words) sendMax7219Word(fd, word);
}

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
    // Awake, all digits scanned, no test, no decode, a pattern on digit 2,
    // then every digit dark.
    static const int setUp[] = {0x0C01, 0x0B07, 0x0F00, 0x0900, 0x02AA, 0x0100, 0x0200,
                                0x0300, 0x0400, 0x0500, 0x0600, 0x0700, 0x0800};
    for (;;) {
        printf(" sendMAX2719xyz( fd , 1,1, 1 ); \n");
        sendWords(fd, setUp);
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
    sendMax7219Word(fd, 0x09FF);
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

    // Code B on the even digits, a dash with its point on digit 2, and the
    // intensity stepped up and back.
    max7219IoSetup(fd);
    static const int brightness[] = {0x0C01, 0x0B07, 0x0F00, 0x09AA, 0x02AA, 0x0A01,
                                     0x0A03, 0x0A05, 0x0A01, 0x0F00, 0x0F00, 0x0C01};
    sendWords(fd, brightness);
    max7219IoSetup(fd);
    clearMax7219(fd);
    _sleep(1);

    // HELP with "-70" after it: Code B is still on from showMax7219Help.
    showMax7219Help(fd);
    sendMax7219Word(fd, 0x0100);
    sendMax7219Word(fd, 0x0207);
    _sleep(4);
    clearMax7219(fd);
    _sleep(2);

    // Diagonals of single segments (no decode since clearMax7219), with the
    // scan limit shrunk to four digits and widened again between them.
    sendWords(fd, kDiagonal);
    _sleep(2);
    static const int scanLimits[] = {0x0B07, 0x0B06, 0x0B05, 0x0B04, 0x0B03, 0x0B07};
    sendWords(fd, scanLimits);
    sendWords(fd, kDiagonal);
    static const int plain[] = {0x0F00, 0x0900, 0x0100, 0x0200, 0x0300,
                                0x0400, 0x0500, 0x0600, 0x0700, 0x0800};
    sendWords(fd, plain);
    sendWords(fd, kDiagonal);
    sendMax7219Word(fd, 0x0F00);
}

}  // namespace bc
