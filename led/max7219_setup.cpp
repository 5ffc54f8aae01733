// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "led/max7219_setup.h"

#include "iss/adapter_commands.h"
#include "led/max7219_transfer.h"
#include "led/max7219_wiring.h"
#include "platform/runtime.h"
#include "platform/win32_api.h"

namespace bc {

using namespace max7219;

void max7219IoSetup(int fd) {
    issSetIoMode(fd, 0);
    issChangeIoMode(fd, 0);
}

void initMax7219(int fd) {
    static const int words[] = {kScanAll, kRawSegments, kWake};
    max7219IoSetup(fd);
    sendMax7219Words(fd, words);
}

void clearMax7219(int fd) {
    // The digits are cleared while the chip is shut down, so that the old
    // contents vanish at once instead of digit by digit.
    static const int shutDown[] = {kWake, kScanAll, kRawSegments, word(kRegIntensity, 3),
                                   word(kRegShutdown, kShutdownMode)};
    max7219IoSetup(fd);
    sendMax7219Words(fd, shutDown);
    sendMax7219Words(fd, kAllDigitsDark);
    sendMax7219Word(fd, kWake);
}

void showMax7219Help(int fd) {
    // Digits 1 and 0 are left alone: under Code B they show what their old
    // contents select.
    static const int words[] = {kWake,
                                kScanAll,
                                kRawSegments,
                                word(kRegIntensity, 3),
                                kWake,
                                kScanAll,
                                word(kRegDecodeMode, kCodeBAll),
                                word(digitReg(7), kCodeBH),
                                word(digitReg(6), kCodeBE),
                                word(digitReg(5), kCodeBL),
                                word(digitReg(4), kCodeBP),
                                word(digitReg(3), kCodeBBlank),
                                word(digitReg(2), kCodeBDash),
                                kWake};
    max7219IoSetup(fd);
    sendMax7219Words(fd, words);
    _sleep(2);
}

void sendMax7219Sequence(int fd, int, const int* sequence) {
    max7219IoSetup(fd);
    sendMax7219Word(fd, kWake);
    sendMax7219Word(fd, kTestOff);
    for (const int* word = sequence; word && *word != -1; ++word) sendMax7219Word(fd, *word);
    _sleep(3);
}

}  // namespace bc
