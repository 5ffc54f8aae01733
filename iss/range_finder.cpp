// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "iss/range_finder.h"

#include <cstdio>

#include "iss/adapter_interface.h"
#include "iss/srf08_registers.h"
#include "platform/delay.h"
#include "serial/transfer.h"

namespace bc {

using namespace iss;

namespace {

using srf08::kCommandRegister;

// Revision, light, echo 1, echo 2.
constexpr unsigned char kRegisterCount = srf08::kFirstEchoRegister + 4;

// The SRF08 takes up to 65 ms to range; 600 ms leaves it room and lets the
// echoes die away.
constexpr int kRangingWaitMs = 600;

}  // namespace

// Formed arithmetically, so the result is the same on any byte order; an int
// of at least 32 bits holds every value.
static_assert(sizeof(int) >= 4, "a 16-bit range needs an int of 32 bits or more");
int leBytesToInt(int lo, int hi) { return (hi & 0xFF) * 256 + (lo & 0xFF); }

void srf08Range(int fd) {
    ioBuf[0] = kCmdI2cAd1;
    ioBuf[1] = kSrf08Write;
    ioBuf[2] = kCommandRegister;
    ioBuf[3] = 1;
    ioBuf[4] = srf08::kRangeInCm;
    writeIoBuf(fd, kAd1HeaderLen + 1);
    readIoBuf(fd, kI2cWriteReplyLen);

    delayMs(kRangingWaitMs);

    ioBuf[0] = kCmdI2cAd1;
    ioBuf[1] = kSrf08Read;
    ioBuf[2] = kCommandRegister;
    ioBuf[3] = kRegisterCount;
    writeIoBuf(fd, kAd1HeaderLen);
    readIoBuf(fd, kRegisterCount);

    // Registers 2-3 hold the first echo, 4-5 the second, high byte first.
    const int rangeA = leBytesToInt(ioBuf[3], ioBuf[2]);
    const int rangeB = leBytesToInt(ioBuf[5], ioBuf[4]);
    printf("srf08: %06d cm,  %06d cm %0*d+\n", rangeB, rangeA, rangeA / 4, 1);
}

}  // namespace bc
