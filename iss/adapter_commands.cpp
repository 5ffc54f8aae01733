// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "iss/adapter_commands.h"

#include <cstdio>

#include "iss/adapter_interface.h"
#include "platform/delay.h"
#include "serial/transfer.h"

namespace bc {

using namespace iss;

namespace {

// Writes the frame ioBuf[0..frameLen-1] and reads the reply over it.
void exchange(int fd, int frameLen, int replyLen) {
    writeIoBuf(fd, frameLen);
    readIoBuf(fd, replyLen);
}

// Only the low byte of a value travels.
unsigned char lowByte(int value) { return static_cast<unsigned char>(value & 0xFF); }

void setMode(int fd, unsigned char mode, int value) {
    ioBuf[0] = kCmdAdapter;
    ioBuf[1] = kSubMode;
    ioBuf[2] = mode;
    ioBuf[3] = lowByte(value);
    exchange(fd, kModeFrameLen, kModeReplyLen);
    // Both mode commands report under the one label.
    printf("ISS:5A-02-00:IO-mode: %02X %02X \n", ioBuf[0], ioBuf[1]);
}

}  // namespace

void issVersion(int fd) {
    ioBuf[0] = kCmdAdapter;
    ioBuf[1] = kSubVersion;
    exchange(fd, kVersionFrameLen, kVersionReplyLen);
    printf("ISS:5A-01:ver: %02X %02X %02X \n", ioBuf[0], ioBuf[1], ioBuf[2]);
}

void issSerialNumber(int fd) {
    ioBuf[0] = kCmdAdapter;
    ioBuf[1] = kSubSerial;
    exchange(fd, kSerialFrameLen, kSerialReplyLen);
    const unsigned char* r = ioBuf;
    printf("ISS:5A-03:ser: %02X %02X %02X-%02X %02X %02X %02X\n", r[0], r[1], r[2], r[3], r[4], r[5], r[6]);
    printf("ISS:5A-03:ser: %c%c%c-%c%c%c%c\n", r[0], r[1], r[2], r[3], r[4], r[5], r[6]);
}

void issSetIoMode(int fd, int value) { setMode(fd, kModeIo, value); }

void issChangeIoMode(int fd, int value) { setMode(fd, kModeIoChange, value); }

void issCmd5A10(int fd, int value) {
    ioBuf[0] = kCmdAdapter;
    ioBuf[1] = kSubSelect;
    ioBuf[2] = lowByte(value);
    ioBuf[3] = 0;
    exchange(fd, kSelectFrameLen, kSelectReplyLen);
    printf("%02X \n", ioBuf[0]);
}

void issRead5A12(int fd) {
    issCmd5A10(fd, 12);
    ioBuf[0] = kCmdAdapter;
    ioBuf[1] = kSubRead8;
    ioBuf[2] = 0;
    ioBuf[3] = 0;
    writeIoBuf(fd, kRead8FrameLen);
    // The adapter needs time to gather the eight bytes.
    delayMs(600);
    readIoBuf(fd, kRead8ReplyLen);
    printf("%02X %02X   %02X %02X \n", ioBuf[0], ioBuf[1], ioBuf[2], ioBuf[3]);
}

void issSetPins(int fd, int value) {
    ioBuf[0] = kCmdSetPins;
    ioBuf[1] = lowByte(value);
    // The reply is read, so that the pins have changed before the next frame
    // goes out; its value means nothing to the caller.
    exchange(fd, kSetPinsFrameLen, kSetPinsReplyLen);
}

}  // namespace bc
