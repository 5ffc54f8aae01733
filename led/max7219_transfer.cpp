// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "led/max7219_transfer.h"

#include <cstdio>

#include "iss/adapter_commands.h"
#include "led/max7219_sequences.h"
#include "led/max7219_wiring.h"
#include "platform/delay.h"
#include "platform/runtime.h"
#include "platform/win32_api.h"

namespace bc {

using namespace max7219;

namespace {

// The chip shows every state for a while, so a person can follow it.
constexpr int kWordHoldMs = 600;

// One bit: data set up with the clock low, the clock's rising edge takes it,
// the clock low again.
void clockBit(int fd, bool one) {
    const int d = one ? kPinDin : 0;
    issSetPins(fd, d);
    issSetPins(fd, d | kPinClk);
    issSetPins(fd, d);
}

}  // namespace

void sendMax7219Word(int fd, int word) {
    printf("\n=========\nMAX2719: %04X  \n", static_cast<unsigned>(word));
    // Load high, then low: the chip starts listening.
    issSetPins(fd, kPinLoad);
    issSetPins(fd, 0);
    issSetPins(fd, 0);
    for (int bit = kWordBits - 1; bit >= 0; --bit) clockBit(fd, (word >> bit) & 1);
    // Load's rising edge latches the 16 bits; the lines rest with load high.
    issSetPins(fd, kPinLoad);
    issSetPins(fd, kPinLoad);
    delayMs(kWordHoldMs);
}

void walkMax7219Pins(int fd) {
    static const int kSteps[] = {0,
                                 kPinSpare,
                                 kPinClk,
                                 kPinDin,
                                 kPinLoad,
                                 kPinLoad | kPinClk,
                                 kPinClk,
                                 kPinClk | kPinDin,
                                 kPinDin,
                                 kPinDin | kPinLoad,
                                 kPinLoad,
                                 0,
                                 kPinLoad | kPinDin | kPinClk};
    for (int pins : kSteps) {
        issSetPins(fd, pins);
        _sleep(1);
    }
}

void sendMAX2719xyz(int fd, int x, int y, int) {
    if (x < 0 || x > 7 || y < 0 || y > 7) {
        printf("sendMAX2719xyz: x %d, y %d refused: both must lie in 0..7\n", x, y);
        return;
    }
    const int word = ((y + 1) << 8) + segmentMasks[x];
    printf("  %8x \n", static_cast<unsigned>(word));
    sendMax7219Word(fd, word);
}

}  // namespace bc
