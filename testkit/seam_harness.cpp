#include "testkit/seam_harness.h"

#include "serial/com_port.h"
#include "serial/transfer.h"

namespace bc::sim {

namespace {

// Every bench starts from a process that has just started: no port, a zeroed
// frame buffer and counters.
void resetSerialGlobals() {
    hPort = nullptr;
    for (unsigned char& b : ioBuf) b = 0;
    iBytesWritten = iBytesSent = iBytesRead = 0;
}

}  // namespace

SeamHarness::SeamHarness() {
    resetSerialGlobals();
    seam::attachClock(&clock);
    seam::attachDevice(&port);
    seam::setExitHook([](int status) { throw ProcessExit{status}; });
}

SeamHarness::~SeamHarness() {
    if (hPort && hPort != INVALID_HANDLE_VALUE) CloseHandle(hPort);
    resetSerialGlobals();
    seam::setExitHook(nullptr);
    seam::attachDevice(nullptr);
    seam::attachClock(nullptr);
}

void SeamHarness::stopAfter(int64_t ms) {
    clock.stopAt = clock.now() + ms;
    clock.onStop = [] { throw TimeUp{}; };
}

}  // namespace bc::sim
