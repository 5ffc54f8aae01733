#include <gtest/gtest.h>

#include <cstring>

#include "serial/com_port.h"
#include "testkit/seam_harness.h"
#include "tests/support/capture.h"

namespace bc {
namespace {

using sim::SeamHarness;
using test::StdoutCapture;

uint32_t flagsWord(const DCB& dcb) {
    uint32_t w;
    std::memcpy(&w, reinterpret_cast<const char*>(&dcb) + 8, 4);
    return w;
}

void setFlagsWord(DCB& dcb, uint32_t w) { std::memcpy(reinterpret_cast<char*>(&dcb) + 8, &w, 4); }

TEST(OpenPort, FlagsWordKeepsWindowsBitLayout) {
    DCB d{};
    d.fBinary = 1;
    EXPECT_EQ(flagsWord(d), 0x0001u);
    d = {};
    d.fDtrControl = 3;
    EXPECT_EQ(flagsWord(d), 0x0030u);
    d = {};
    d.fRtsControl = 3;
    EXPECT_EQ(flagsWord(d), 0x3000u);
    d = {};
    d.fAbortOnError = 1;
    EXPECT_EQ(flagsWord(d), 0x4000u);
    EXPECT_EQ(offsetof(DCB, ByteSize), 18u);
}

TEST(OpenPort, SuccessConfiguresTheLineAndPrintsOk) {
    SeamHarness bench;
    StdoutCapture capture;
    HANDLE h = openPort(9, 19200, 'N', '8');
    EXPECT_EQ(capture.take(), " serial port COM9 connect OK \n\r");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h, hPort);
    const DCB& d = bench.port.dcb;
    EXPECT_EQ(d.BaudRate, 19200u);
    EXPECT_EQ(d.ByteSize, 8);
    EXPECT_EQ(d.Parity, NOPARITY);
    EXPECT_EQ(d.StopBits, ONESTOPBIT);
    EXPECT_EQ(d.fRtsControl, unsigned(RTS_CONTROL_DISABLE));
    EXPECT_EQ(d.fDtrControl, unsigned(DTR_CONTROL_DISABLE));
    EXPECT_EQ(bench.port.inQueue, 128u);
    EXPECT_EQ(bench.port.outQueue, 128u);
    const COMMTIMEOUTS& t = bench.port.timeouts;
    EXPECT_EQ(t.ReadIntervalTimeout, 100u);
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 100u);
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 1u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 5u);
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 1u);
}

TEST(OpenPort, ParityAndDataBitCharacters) {
    struct Case {
        int parity, dataBits;
        BYTE wantParity, wantSize;
    };
    const Case cases[] = {{'N', '8', NOPARITY, 8}, {'E', '8', EVENPARITY, 8}, {'O', '7', ODDPARITY, 7},
                          {'e', '5', NOPARITY, 8}, {'o', 'N', NOPARITY, 8},   {'N', '6', NOPARITY, 8}};
    for (const Case& c : cases) {
        SeamHarness bench;
        StdoutCapture capture;
        ASSERT_NE(openPort(9, 19200, c.parity, c.dataBits), nullptr);
        EXPECT_EQ(bench.port.dcb.Parity, c.wantParity) << char(c.parity);
        EXPECT_EQ(bench.port.dcb.ByteSize, c.wantSize) << char(c.dataBits);
        // Parity checking stays as the driver had it, even for 'E' and 'O'.
        EXPECT_EQ(bench.port.dcb.fParity, 0u);
    }
}

TEST(OpenPort, FlagsWordClearsFlowControlSetsAbortAndKeepsTheRest) {
    for (uint32_t driverFlags : {0x7FFFu, 0x0000u, 0x08C3u, 0x1FFFFu << 15 | 0x2A55u}) {
        SeamHarness bench;
        setFlagsWord(bench.port.driverDcb, driverFlags);
        bench.port.driverDcb.XonChar = 0x21;
        bench.port.driverDcb.EvtChar = 0x7E;
        StdoutCapture capture;
        ASSERT_NE(openPort(9, 19200, 'N', '8'), nullptr);
        EXPECT_EQ(flagsWord(bench.port.dcb), (driverFlags & ~0x733Cu) | 0x4000u) << std::hex << driverFlags;
        EXPECT_EQ(bench.port.dcb.XonChar, 0x21);
        EXPECT_EQ(bench.port.dcb.EvtChar, 0x7E);
        EXPECT_EQ(bench.port.dcb.DCBlength, bench.port.driverDcb.DCBlength);
    }
}

TEST(OpenPort, AbsentOrBusyDeviceFailsAtTheOpen) {
    {
        SeamHarness bench;
        bench.port.presence = sim::SimPort::Presence::absent;
        StdoutCapture capture;
        EXPECT_EQ(openPort(9, 19200, 'N', '8'), nullptr);
        EXPECT_EQ(capture.take(), "serial port COM9 connect fail \\\\.\\COM3 error 2\n\r");
        EXPECT_EQ(hPort, INVALID_HANDLE_VALUE);
    }
    {
        SeamHarness bench;
        bench.port.presence = sim::SimPort::Presence::busy;
        StdoutCapture capture;
        EXPECT_EQ(openPort(4, 19200, 'N', '8'), nullptr);
        EXPECT_EQ(capture.take(), "serial port COM4 connect fail \\\\.\\COM3 error 5\n\r");
    }
}

TEST(OpenPort, TwoOpensWithoutACloseTheSecondFails) {
    SeamHarness bench;
    StdoutCapture capture;
    ASSERT_NE(openPort(9, 19200, 'N', '8'), nullptr);
    HANDLE first = hPort;
    EXPECT_EQ(openPort(9, 19200, 'N', '8'), nullptr);
    EXPECT_EQ(capture.take(), " serial port COM9 connect OK \n\rserial port COM9 connect fail \\\\.\\COM3 error 5\n\r");
    CloseHandle(first);
    StdoutCapture again;
    EXPECT_NE(openPort(9, 19200, 'N', '8'), nullptr);
    closePort(9);
    EXPECT_NE(openPort(9, 19200, 'N', '8'), nullptr);
    EXPECT_EQ(bench.port.openCount, 3);
}

// The port opens empty, as a Windows port does: what the device sent before
// the open, and what was still on its way to a program that closed the
// port, is no one's.
TEST(OpenPort, ThePortOpensEmpty) {
    SeamHarness bench;
    bench.port.send("stale", bench.now());
    StdoutCapture capture;
    ASSERT_NE(openPort(9, 19200, 'N', '8'), nullptr);
    bench.port.send("late", bench.now() + 50);
    closePort(9);
    bench.clock.advanceBy(100);
    ASSERT_NE(openPort(9, 19200, 'N', '8'), nullptr);
    EXPECT_EQ(bench.port.pendingBytes(), 0u);
    char got[8];
    DWORD n = 7;
    EXPECT_TRUE(ReadFile(hPort, got, sizeof got, &n, nullptr));
    EXPECT_EQ(n, 0u);
    closePort(9);
}

// A set-up step that fails prints its own line with the error code, and the
// half-configured device is closed again rather than left locked.
TEST(OpenPort, EachFailingStepPrintsItsLineAndReleasesTheDevice) {
    struct Case {
        DWORD sim::SimPort::*error;
        DWORD code;
        const char* line;
    };
    const Case cases[] = {
        {&sim::SimPort::setupCommError, 87, "serial port COM9 SetupComm fail  87\n\r"},
        {&sim::SimPort::getStateError, 31, "serial port COM9  GetCommState fail  31\n\r"},
        {&sim::SimPort::setStateError, 87, "serial port COM9  SetCommState fail  87\n\r"},
        {&sim::SimPort::setTimeoutsError, 1167, "serial port COM9 SetCommTimeouts fail  1167\n\r"},
    };
    for (const Case& c : cases) {
        SeamHarness bench;
        bench.port.*c.error = c.code;
        StdoutCapture capture;
        EXPECT_EQ(openPort(9, 19200, 'N', '8'), nullptr);
        EXPECT_EQ(capture.take(), c.line);
        EXPECT_FALSE(bench.port.isOpen) << c.line;
        EXPECT_NE(hPort, INVALID_HANDLE_VALUE);
        EXPECT_NE(hPort, nullptr);
    }
}

}  // namespace
}  // namespace bc
