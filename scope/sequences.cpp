// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "scope/sequences.h"

#include <cstdio>

#include "platform/delay.h"
#include "scope/command_channel.h"
#include "scope/dual_capture.h"
#include "scope/scope_interface.h"
#include "scope/single_capture.h"

namespace bc {

namespace {

// The instrument needs time after most commands; 600 ms covers its slowest
// (reset and auto-set).
constexpr int settleMs = 600;

void sendThenSettle(int fd, const char* cmd) {
    ScopeSendCmd(fd, cmd);
    delayMs(settleMs);
}

void queryThenSettle(int fd, const char* query) {
    scopeQueryValue(fd, query);
    delayMs(settleMs);
}

// The delay is held in single precision and each step is added in double
// precision, so the rounding of every step carries into the next: the step
// meant to reach zero lands near 1.0E-10 instead, and the sweep sends 40
// commands, the last 9.0E-04.
void sweepTimebaseDelay(int fd) {
    char cmd[100];
    float delay = -0.003f;
    while (0.001 > double(delay)) {
        printf(":TIM:DEL %7.1f\r\n", double(delay));
        snprintf(cmd, sizeof cmd, scopeFmtTimebaseDelay, double(delay));
        sendThenSettle(fd, cmd);
        delay = float(double(delay) + 0.0001);
        printf("inc :TIM:DEL %7.1E\r\n", double(delay));
    }
}

}  // namespace

int scopeTestSequence(int fd) {
    printf("starting....\n");
    sendThenSettle(fd, scopeCmdReset);
    queryThenSettle(fd, scopeCmdSystemError);
    sendThenSettle(fd, scopeCmdAutoset);
    queryThenSettle(fd, scopeCmdSystemError);
    delayMs(settleMs);
    queryThenSettle(fd, scopeCmdSystemError);
    sendThenSettle(fd, scopeCmdInvertChannel2);
    queryThenSettle(fd, scopeCmdIdentify);
    queryThenSettle(fd, scopeCmdLearnQuery);
    scopeQueryValue(fd, scopeCmdTriggerFrequency);
    ScopeSendCmd(fd, scopeCmdDisplayWaveform0);
    sendThenSettle(fd, scopeCmdSingle);
    scopeReadAquire(fd, scopeChannel1);
    scopeReadAquire(fd, scopeChannel2);
    sweepTimebaseDelay(fd);
    return 0;
}

int scopeSetup(int fd) {
    printf("Setting Scope....\n");
    sendThenSettle(fd, scopeCmdReset);
    sendThenSettle(fd, scopeCmdAutoset);
    scopeQueryValue(fd, scopeCmdSystemError);
    scopeQueryValue(fd, scopeCmdIdentify);
    scopeQueryValue(fd, scopeCmdLearnQuery);
    return 0;
}

int scopePollWaveforms(int fd) {
    printf("Polling waveform....\n");
    scopeQueryValue(fd, scopeCmdIdentify);
    scopeQueryValue(fd, scopeCmdLearnQuery);
    scopeReadAquire(fd, scopeChannel1);
    scopeReadAquire(fd, scopeChannel2);
    return 0;
}

int scopePollDual(int fd) {
    printf("Polling waveform....\n");
    scopeReadDual(fd, scopeChannel1);
    return 0;
}

}  // namespace bc
