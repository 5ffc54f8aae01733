#include "serial/transfer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "serial/com_port.h"
#include "testkit/seam_harness.h"
#include "tests/support/capture.h"

namespace bc {
namespace {

using sim::SeamHarness;
using test::StdoutCapture;

class Transfer : public testing::Test {
protected:
    void SetUp() override {
        StdoutCapture quiet;
        ASSERT_NE(openPort(9, 19200, 'N', '8'), nullptr);
    }
    std::string received() const { return std::string(bench.port.received.begin(), bench.port.received.end()); }
    SeamHarness bench;
};

TEST_F(Transfer, WriteIoBufSendsTheFrameAndPrintsTheCount) {
    const unsigned char frame[] = {0x5A, 0x01, 0x00, 0xFF};
    std::memcpy(ioBuf, frame, 4);
    StdoutCapture capture;
    writeIoBuf(0, 4);
    writeIoBuf(-7, 0);
    EXPECT_EQ(capture.take(), " iBytesWritten: 4 \n iBytesWritten: 0 \n");
    EXPECT_EQ(received(), std::string("\x5A\x01\x00\xFF", 4));
}

TEST_F(Transfer, CountsOutsideTheBufferStayWithinIt) {
    StdoutCapture capture;
    writeIoBuf(0, 1000);
    writeIoBuf(0, -5);
    EXPECT_EQ(capture.take(), " iBytesWritten: 100 \n iBytesWritten: 0 \n");
    EXPECT_EQ(bench.port.received.size(), 100u);
    bench.port.send(std::string(150, 'x'), 0);
    readIoBuf(0, 150);
    EXPECT_EQ(iBytesRead, 100u);
    EXPECT_EQ(bench.port.pendingBytes(), 50u);
}

TEST_F(Transfer, WriteBytesSendsExactlyTheCallersBytes) {
    writeBytes(0, "*RST\r and more", 5);
    EXPECT_EQ(received(), "*RST\r");
    EXPECT_EQ(iBytesSent, 5u);
}

TEST_F(Transfer, ReadThatGetsNothingLeavesTheBufferAndTimesOut) {
    ioBuf[2] = 0x77;
    ioBuf[0] = 0x5A;
    ioBuf[1] = 0x01;
    StdoutCapture capture;
    writeIoBuf(0, 2);
    int64_t start = bench.now();
    readIoBuf(0, 3);
    EXPECT_EQ(bench.now() - start, 103);  // 100 ms + 1 ms per byte asked for
    EXPECT_EQ(iBytesRead, 0u);
    EXPECT_EQ(ioBuf[0], 0x5A);
    EXPECT_EQ(ioBuf[1], 0x01);
    EXPECT_EQ(ioBuf[2], 0x77);
}

TEST_F(Transfer, ShortReplyFillsOnlyItsLength) {
    std::memset(ioBuf, 0xEE, sizeof ioBuf);
    bench.port.send(std::string("\x01\x02", 2), bench.now() + 10);
    int64_t start = bench.now();
    readIoBuf(0, 8);
    EXPECT_EQ(iBytesRead, 2u);
    EXPECT_EQ(ioBuf[0], 0x01);
    EXPECT_EQ(ioBuf[1], 0x02);
    EXPECT_EQ(ioBuf[2], 0xEE);
    EXPECT_EQ(ioBuf[7], 0xEE);
    // The interval time-out ends the read 100 ms after the last byte,
    // before the total of 108 ms.
    EXPECT_EQ(bench.now() - start, 108);
}

TEST_F(Transfer, IntervalTimeOutRestartsWithEveryByte) {
    // Pieces 80 ms apart keep a 90-byte read (total 190 ms) going well past
    // 100 ms after its first byte...
    bench.port.sendInPieces("abcdef", 2, 80, bench.now() + 10);
    int64_t start = bench.now();
    readIoBuf(0, 90);
    EXPECT_EQ(iBytesRead, 6u);
    EXPECT_EQ(bench.now() - start, 190);
    // ...and the total of 100 + 6 ms caps a slow trickle.
    bench.port.sendInPieces("ghijkl", 1, 30, bench.now());
    start = bench.now();
    readIoBuf(0, 6);
    EXPECT_EQ(iBytesRead, 4u);
    EXPECT_EQ(bench.now() - start, 106);
}

TEST_F(Transfer, GapLongerThanTheIntervalEndsTheRead) {
    bench.port.send("ab", bench.now());
    bench.port.send("cd", bench.now() + 150);
    int64_t start = bench.now();
    readIoBuf(0, 4);
    EXPECT_EQ(iBytesRead, 2u);
    EXPECT_EQ(bench.now() - start, 100);
    readIoBuf(0, 4);
    EXPECT_EQ(iBytesRead, 2u);
}

// A byte that waits before a frame goes out (the eighth of the adapter's
// serial number, a reply that came late, a stray byte) is no answer to it:
// it is read off first, and the frame's reply lands where the routine looks.
TEST_F(Transfer, WhatWaitsBeforeAFrameIsDroppedAndTheFrameGetsItsOwnReply) {
    bench.port.send("5", bench.now());
    ioBuf[0] = 0x5A;
    ioBuf[1] = 0x01;
    StdoutCapture capture;
    writeIoBuf(0, 2);
    EXPECT_EQ(capture.take(), " iBytesWritten: 2 \n");
    EXPECT_EQ(received(), "\x5A\x01");
    bench.port.send("\x07\x05\x40", bench.now() + 1);
    readIoBuf(0, 3);
    EXPECT_EQ(iBytesRead, 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(ioBuf), 3), "\x07\x05\x40");
}

// Only what has come is dropped, and no time is spent on it: a reply still
// on its way as the frame goes out is the reply. Neither a frame of no bytes
// nor a text sent with writeBytes (the oscilloscope's commands) drops
// anything: what waits then is the next read's.
TEST_F(Transfer, NothingOnItsWayNorBeforeATextIsDropped) {
    StdoutCapture capture;
    bench.port.send("abc", bench.now() + 1);
    const int64_t start = bench.now();
    writeIoBuf(0, 2);
    EXPECT_EQ(bench.now(), start);
    readIoBuf(0, 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(ioBuf), 3), "abc");

    bench.port.send("def", bench.now());
    writeIoBuf(0, 0);
    writeBytes(0, "*RST\r", 5);
    readIoBuf(0, 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(ioBuf), 3), "def");
}

TEST_F(Transfer, VanishedDeviceFailsAtOnce) {
    bench.port.vanished = true;
    int64_t start = bench.now();
    std::memset(ioBuf, 0x11, 4);
    readIoBuf(0, 4);
    EXPECT_EQ(bench.now(), start);
    EXPECT_EQ(iBytesRead, 0u);
    EXPECT_EQ(ioBuf[0], 0x11);
    StdoutCapture capture;
    writeIoBuf(0, 4);
    EXPECT_EQ(capture.take(), " iBytesWritten: 0 \n");
}

}  // namespace
}  // namespace bc
