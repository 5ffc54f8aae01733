// The real serial layer over a pseudo-terminal: termios settings, Windows
// read time-outs, exclusive open and a device that goes away.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

#include "serial/com_port.h"
#include "serial/transfer.h"
#include "tests/support/capture.h"
#include "tests/support/pty.h"

namespace bc {
namespace {

using test::msSince;
using test::StdoutCapture;

class PtySerial : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        setenv("BENCHCOM_PORT", pty.slavePath().c_str(), 1);
        StdoutCapture capture;
        openPort(9, 19200, 'N', '8');
        ASSERT_EQ(capture.take(), " serial port COM9 connect OK \n\r");
    }
    void TearDown() override {
        CloseHandle(hPort);
        hPort = nullptr;
        unsetenv("BENCHCOM_PORT");
    }
    DWORD read(std::string& into, DWORD count) {
        into.assign(count, '\0');
        DWORD got = 0;
        ReadFile(hPort, into.data(), count, &got, nullptr);
        into.resize(got);
        return got;
    }
    test::Pty pty;
};

TEST_F(PtySerial, CommandArrivesAsExactlyItsBytes) {
    writeBytes(0, "*RST\r", 5);
    EXPECT_EQ(pty.readUntilQuiet(200), "*RST\r");
}

TEST_F(PtySerial, EveryByteValuePassesUnchangedBothWays) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(char(b));
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(hPort, all.data(), 256, &written, nullptr));
    EXPECT_EQ(written, 256u);
    EXPECT_EQ(pty.readUntilQuiet(200), all);

    pty.write(all);
    std::string back;
    EXPECT_EQ(read(back, 256), 256u);
    EXPECT_EQ(back, all);
}

TEST_F(PtySerial, UnansweredReadLastsTheTotalTimeOut) {
    std::string got;
    auto start = test::timeMark();
    EXPECT_EQ(read(got, 50), 0u);
    double ms = msSince(start);
    EXPECT_GE(ms, 149.0);  // 100 ms + 1 ms per byte, never early
    EXPECT_LT(ms, 600.0);
}

TEST_F(PtySerial, ReadEndsOneIntervalAfterTheReplyStops) {
    pty.write("0123456789");
    std::string got;
    auto start = test::timeMark();
    EXPECT_EQ(read(got, 500), 10u);
    double ms = msSince(start);
    EXPECT_GE(ms, 99.0);
    EXPECT_LT(ms, 450.0);  // well before the 600 ms total
    EXPECT_EQ(got, "0123456789");
}

TEST_F(PtySerial, SecondOpenIsRefusedEvenForRoot) {
    HANDLE first = hPort;
    StdoutCapture capture;
    EXPECT_EQ(openPort(9, 19200, 'N', '8'), nullptr);
    EXPECT_EQ(capture.take(), "serial port COM9 connect fail \\\\.\\COM3 error 5\n\r");
    hPort = first;
}

TEST_F(PtySerial, CloseReleasesTheDeviceForTheNextOpen) {
    int fd = open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    int exclusive = 0;
    ASSERT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    closePort(9);
    ASSERT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);  // a non-root user could open it again
    close(fd);
    StdoutCapture capture;
    EXPECT_NE(openPort(9, 19200, 'N', '8'), nullptr);
    EXPECT_EQ(capture.take(), " serial port COM9 connect OK \n\r");
}

TEST_F(PtySerial, VanishedDeviceFailsReadsAndWritesAtOnce) {
    pty.closeMaster();
    std::string got;
    auto start = test::timeMark();
    EXPECT_EQ(read(got, 500), 0u);
    EXPECT_LT(msSince(start), 50.0);
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
    DWORD written = 7;
    EXPECT_FALSE(WriteFile(hPort, "x", 1, &written, nullptr));
    EXPECT_EQ(written, 0u);
}

TEST_F(PtySerial, WriteGivesUpAtItsTotalTimeOut) {
    COMMTIMEOUTS t{};
    t.WriteTotalTimeoutConstant = 100;
    ASSERT_TRUE(SetCommTimeouts(hPort, &t));
    std::string lots(1 << 20, 'x');  // far more than the terminal buffers
    DWORD written = 0;
    auto start = test::timeMark();
    EXPECT_TRUE(WriteFile(hPort, lots.data(), DWORD(lots.size()), &written, nullptr));
    double ms = msSince(start);
    EXPECT_LT(written, lots.size());
    EXPECT_GE(ms, 99.0);
    EXPECT_LT(ms, 500.0);
}

TEST_F(PtySerial, ModemLinesAreReportedMissing) {
    DWORD status = 0x1234;
    EXPECT_FALSE(GetCommModemStatus(hPort, &status));
    EXPECT_EQ(status, 0x1234u);
    EXPECT_FALSE(EscapeCommFunction(hPort, SETRTS));
    EXPECT_FALSE(EscapeCommFunction(hPort, SETBREAK));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FUNCTION);
}

TEST_F(PtySerial, LineSettingsRoundTripAndBadOnesAreRefused) {
    DCB dcb{};
    ASSERT_TRUE(GetCommState(hPort, &dcb));
    EXPECT_EQ(dcb.BaudRate, 19200u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    dcb.BaudRate = 12345;
    EXPECT_FALSE(SetCommState(hPort, &dcb));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    dcb.BaudRate = 9600;
    dcb.ByteSize = 7;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = TWOSTOPBITS;
    ASSERT_TRUE(SetCommState(hPort, &dcb));
    DCB back{};
    ASSERT_TRUE(GetCommState(hPort, &back));
    // (A pseudo-terminal always frames 8 bits without parity.)
    EXPECT_EQ(back.BaudRate, 9600u);
    EXPECT_EQ(back.StopBits, TWOSTOPBITS);
}

// Waits (at most 5 s) until ClearCommError reports `count` bytes waiting:
// the terminal passes on what its other side wrote in its own time.
bool awaitInQueue(DWORD count) {
    COMSTAT queues{};
    DWORD errors = 0;
    const auto start = test::timeMark();
    while (ClearCommError(hPort, &errors, &queues) && queues.cbInQue != count && msSince(start) < 5000) usleep(1000);
    return errors == 0 && queues.cbInQue == count && queues.cbOutQue == 0;
}

// ClearCommError counts what the terminal holds unread, as Windows counts
// its driver's receive queue; either pointer may be left out.
TEST_F(PtySerial, ClearCommErrorCountsWhatWaitsUnread) {
    EXPECT_TRUE(awaitInQueue(0));
    pty.write("abcde");
    EXPECT_TRUE(awaitInQueue(5));
    std::string got;
    EXPECT_EQ(read(got, 2), 2u);
    EXPECT_TRUE(awaitInQueue(3));
    EXPECT_TRUE(ClearCommError(hPort, nullptr, nullptr));
}

// A frame goes out only once what waited (a late reply, the adapter's
// eighth serial-number byte) is read off: its own reply is what is read.
TEST_F(PtySerial, AFrameDropsWhatWaitedBeforeIt) {
    pty.write("5");
    ASSERT_TRUE(awaitInQueue(1));
    ioBuf[0] = 0x5A;
    ioBuf[1] = 0x01;
    StdoutCapture capture;
    writeIoBuf(0, 2);
    EXPECT_EQ(capture.take(), " iBytesWritten: 2 \n");
    EXPECT_EQ(pty.readUntilQuiet(200), "\x5A\x01");
    EXPECT_TRUE(awaitInQueue(0));
    pty.write("\x07\x05\x40");
    readIoBuf(0, 3);
    EXPECT_EQ(iBytesRead, 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(ioBuf), 3), "\x07\x05\x40");
}

// Bytes that came while no program had the port open are not this one's:
// it opens empty, as a Windows port does. The test holds the terminal open
// beforehand (as benchcom-sim does), so that they wait in its queue.
TEST(PtyOpen, WhatCameBeforeTheOpenIsGone) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    const int held = test::openRaw(pty.slavePath(), O_RDWR);
    ASSERT_GE(held, 0);
    pty.write("stale");
    ASSERT_TRUE(test::awaitWaiting(held, 5));

    setenv("BENCHCOM_PORT", pty.slavePath().c_str(), 1);
    StdoutCapture capture;
    ASSERT_NE(openPort(9, 19200, 'N', '8'), nullptr);
    capture.take();
    EXPECT_TRUE(awaitInQueue(0));
    char got[8];
    DWORD n = 7;
    EXPECT_TRUE(ReadFile(hPort, got, sizeof got, &n, nullptr));
    EXPECT_EQ(n, 0u);
    CloseHandle(hPort);
    hPort = nullptr;
    unsetenv("BENCHCOM_PORT");
    close(held);
}

TEST(PtyOpen, MissingDeviceReportsErrorTwo) {
    setenv("BENCHCOM_PORT", "/dev/no-such-benchcom-port", 1);
    StdoutCapture capture;
    EXPECT_EQ(openPort(9, 19200, 'N', '8'), nullptr);
    EXPECT_EQ(capture.take(), "serial port COM9 connect fail \\\\.\\COM3 error 2\n\r");
    EXPECT_EQ(hPort, INVALID_HANDLE_VALUE);
    hPort = nullptr;
    unsetenv("BENCHCOM_PORT");
}

}  // namespace
}  // namespace bc
