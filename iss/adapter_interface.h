// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// What the USB-ISS adapter understands: every frame code, sub-command, bus
// address and reply length the tool uses, in one place, so that the routines
// and the simulated adapter cannot drift apart.
#pragma once

#include <cstddef>

namespace bc::iss {

// ---- byte 0 of every frame ----
constexpr unsigned char kCmdAdapter = 0x5A;  // the adapter's own commands
constexpr unsigned char kCmdSetPins = 0x63;  // 63 p: drive the four IO pins
constexpr unsigned char kCmdI2cAd1 = 0x55;   // I2C transfer with one register byte
constexpr unsigned char kCmdI2cAd0 = 0x54;   // I2C transfer without a register byte

// ---- second byte of a 0x5A frame ----
constexpr unsigned char kSubVersion = 0x01;  // 5A 01
constexpr unsigned char kSubMode = 0x02;     // 5A 02 mode operand
constexpr unsigned char kSubSerial = 0x03;   // 5A 03
constexpr unsigned char kSubSelect = 0x10;   // 5A 10 v 00
constexpr unsigned char kSubRead8 = 0x12;    // 5A 12 00 00

// ---- mode byte of 5A 02 ----
constexpr unsigned char kModeIo = 0x00;        // all four pins as IO
constexpr unsigned char kModeIoChange = 0x10;  // new pin types, mode kept
constexpr unsigned char kModeI2c100k = 0x40;   // I2C at 100 kHz (the power-on mode)

// ---- frame lengths ----
constexpr int kVersionFrameLen = 2;
constexpr int kSerialFrameLen = 2;
constexpr int kModeFrameLen = 4;
constexpr int kSelectFrameLen = 4;
constexpr int kRead8FrameLen = 4;
constexpr int kSetPinsFrameLen = 2;
constexpr int kAd1HeaderLen = 4;  // 55 a r n
constexpr int kAd0HeaderLen = 3;  // 54 a n

// ---- reply lengths ----
constexpr int kVersionReplyLen = 3;
constexpr int kSerialReplyLen = 7;
constexpr int kModeReplyLen = 2;
constexpr int kSelectReplyLen = 1;
constexpr int kRead8ReplyLen = 8;
constexpr int kSetPinsReplyLen = 1;
constexpr int kI2cWriteReplyLen = 1;  // a read answers with its count instead

// ---- what the module itself sends (its technical documentation) ----
// 5A 03 is answered with the serial number, eight ASCII digits ("00012345");
// issSerialNumber reads the seven its reply length names, and the eighth
// waits in the port until the next frame drops it (serial/transfer.cpp).
constexpr int kSerialNumberLen = 8;
// A reply reaches the host about one USB frame (1 ms) after the frame.
constexpr int kReplyDelayMs = 1;

// ---- I2C bus addresses, 8-bit form: bit 0 set for a read ----
constexpr unsigned char kI2cReadBit = 0x01;
constexpr unsigned char kSrf08Write = 0xE0;
constexpr unsigned char kSrf08Read = 0xE1;
constexpr unsigned char kPanelWrite = 0xC6;
constexpr unsigned char kPanelRead = 0xC7;
constexpr unsigned char kPlotWrite = 0x0A;

// The length of the frame that starts with `head`, judged from its first
// `have` bytes: 0 while more bytes are needed to tell, -1 when byte 0 is no
// command code the adapter knows (or a 0x5A frame names an unknown
// sub-command).
int frameLength(const unsigned char* head, size_t have);

// How many reply bytes the tool reads back for a complete frame (0 for a
// frame frameLength does not know).
int replyLength(const unsigned char* frame, size_t length);

// How many bytes the module sends back for it: the reply length, but for
// the serial number, which is one byte longer.
int answerLength(const unsigned char* frame, size_t length);

}  // namespace bc::iss
