// The replay port in virtual time: what each call is given back and when,
// and the line that names the first call the program makes differently.
#include "ports/replay_port.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "testkit/seam_harness.h"

namespace bc::ports {
namespace {

using sim::ProcessExit;

const std::string kHeader =
    "# benchcom-run 0.2.0 port trace, format 1: seconds since the port was first opened; > sent, < received\n";

std::string bytesLine(const std::string& stamp, char dir, const std::string& hex, const std::string& text,
                      const std::string& note = "") {
    std::string line = "   " + stamp + "  " + dir + " " + hex + std::string(48 - hex.size(), ' ') + " " + text;
    if (!note.empty()) line += std::string(16 - text.size(), ' ') + "  " + note;
    return line + "\n";
}

// An adapter session: two exchanges, the second one's reply cut short, a
// modem-line call that fails, and a read that finds nothing.
const std::string kSession =
    kHeader +
    "   0.000000  open the simulated bench for \\\\.\\COM3 (BENCHCOM_PORT=sim)\n"
    "   0.000010  GetCommState 9600 baud 8N1, DTR on, RTS on, no flow control\n"
    "   0.000020  SetCommTimeouts read interval 100 ms, read total 1 ms/byte + 100 ms, write total 1 ms/byte + 5 ms\n" +
    bytesLine("1.000000", '>', "5a 01 ", "Z.") + bytesLine("1.004000", '<', "07 05 40 ", "..@") +
    bytesLine("1.100000", '>', "5a 03 ", "Z.") + bytesLine("1.304000", '<', "30 31 ", "01", "(2 of 7)") +
    "   1.304100  EscapeCommFunction SETDTR: failed, error 1 (the device cannot do that (it has no modem-control "
    "lines))\n"
    "   1.304200  GetCommModemStatus 0x0030 (CTS DSR)\n"
    "   1.404200  ReadFile of 3 bytes: nothing came\n"
    "   1.404300  close\n";

Replay replayOf(const std::string& text) {
    Trace t;
    int line = 0;
    std::string problem;
    EXPECT_TRUE(readTrace(text, t, line, problem)) << line << ": " << problem;
    return Replay("bench.trace", std::move(t), true);
}

DWORD write(Port& p, const std::string& bytes) {
    DWORD n = 0;
    p.write(reinterpret_cast<const uint8_t*>(bytes.data()), DWORD(bytes.size()), n);
    return n;
}

// `program` run on a replay of `trace` until the replay ends it: the exit
// status it ended with (-1 if it did not) and what it said on standard error.
struct Ended {
    int status = -1;
    std::string said;
};
Ended replayUntilItEnds(const std::string& trace, const std::function<void(Port&)>& program) {
    sim::SeamHarness bench;
    Replay replay = replayOf(trace);
    OpenError error;
    auto port = replay.open(error);
    EXPECT_NE(port, nullptr);
    if (!port) return {};
    Ended e;
    testing::internal::CaptureStderr();
    try {
        program(*port);
    } catch (const ProcessExit& exit) {
        e.status = exit.status;
    }
    e.said = testing::internal::GetCapturedStderr();
    return e;
}

std::string read(Port& p, DWORD count, DWORD& error) {
    uint8_t buf[16];
    DWORD got = 0;
    error = p.read(buf, count, got);
    return std::string(reinterpret_cast<char*>(buf), got);
}

TEST(ReplayPort, GivesEachCallItsResultAsLongAfterItsWriteAsAtTheBench) {
    sim::SeamHarness bench;
    Replay replay = replayOf(kSession);
    OpenError error;
    auto port = replay.open(error);
    ASSERT_NE(port, nullptr);
    DCB dcb{};
    EXPECT_EQ(port->getState(dcb), 0u);
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.fDtrControl, unsigned(DTR_CONTROL_ENABLE));
    COMMTIMEOUTS t{100, 1, 100, 1, 5};
    EXPECT_EQ(port->setTimeouts(t), 0u);
    EXPECT_EQ(port->timeouts.ReadTotalTimeoutConstant, 100u);  // for GetCommTimeouts

    // The program waits 5 s of its own before it writes: the reply comes
    // 4 ms after the write, as it did.
    bench.clock.advanceTo(5000);
    EXPECT_EQ(write(*port, "\x5A\x01"), 2u);
    DWORD e = 99;
    EXPECT_EQ(read(*port, 3, e), "\x07\x05\x40");
    EXPECT_EQ(e, 0u);
    EXPECT_EQ(bench.now(), 5004);
    // The short reply: its two bytes, after the 204 ms that read took.
    EXPECT_EQ(write(*port, "\x5A\x03"), 2u);
    EXPECT_EQ(read(*port, 7, e), "01");
    EXPECT_EQ(e, 0u);
    EXPECT_EQ(bench.now(), 5004 + 204);
    EXPECT_EQ(port->escape(SETDTR), ERROR_INVALID_FUNCTION);
    DWORD lines = 0;
    EXPECT_EQ(port->modemStatus(lines), 0u);
    EXPECT_EQ(lines, MS_CTS_ON | MS_DSR_ON);
    // A program that comes to a read later than the bench did waits no more.
    bench.clock.advanceBy(500);
    const int64_t late = bench.now();
    EXPECT_EQ(read(*port, 3, e), "");
    EXPECT_EQ(e, 0u);
    EXPECT_EQ(bench.now(), late);
    EXPECT_EQ(read(*port, 0, e), "");  // a read of nothing is in no trace
    port->release();
}

// What the program did at the first difference, for each way of differing.
TEST(ReplayPort, TheFirstDifferenceEndsTheProgramWithFiveAndOneLine) {
    const std::string prefix = "replay of bench.trace diverged at line ";
    const struct {
        const char* what;
        void (*program)(Port&);
        std::string line;
    } cases[] = {
        {"other bytes", [](Port& p) { write(p, "\x5A\x03"); },
         "3: the recording calls GetCommState, the program sent 5a 03"},
        {"other time-outs",
         [](Port& p) {
             DCB dcb;
             p.getState(dcb);
             COMMTIMEOUTS t{50, 1, 100, 1, 5};
             p.setTimeouts(t);
         },
         "4: the recording calls SetCommTimeouts read interval 100 ms, read total 1 ms/byte + 100 ms, write total 1 "
         "ms/byte + 5 ms, the program called SetCommTimeouts read interval 50 ms, read total 1 ms/byte + 100 ms, "
         "write total 1 ms/byte + 5 ms"},
        {"another count",
         [](Port& p) {
             DCB dcb;
             p.getState(dcb);
             COMMTIMEOUTS t{100, 1, 100, 1, 5};
             p.setTimeouts(t);
             write(p, "\x5A\x01");
             DWORD e;
             read(p, 4, e);
         },
         "6: the recording calls ReadFile of 3 bytes, the program called ReadFile of 4 bytes"},
        {"a close too soon", [](Port& p) { p.release(); },
         "3: the recording calls GetCommState, the program closed the port"},
    };
    for (const auto& c : cases) {
        const Ended e = replayUntilItEnds(kSession, c.program);
        EXPECT_EQ(e.status, 5) << c.what;
        EXPECT_EQ(e.said, prefix + c.line + "\n") << c.what;
    }
}

// Past the recording's end, and a long command that differs late: the
// message shows where.
TEST(ReplayPort, PastTheEndAndLateInALongWriteTheLineSaysWhere) {
    // 40 bytes: a first line of 16, and two continued lines (13 spaces
    // where a time stamp would be).
    const std::string trace =
        kHeader + "   0.000000  open sim\n" +
        bytesLine("0.000100", '>', "41 42 43 44 45 46 47 48 49 4a 4b 4c 4d 4e 4f 50 ", "ABCDEFGHIJKLMNOP") +
        "        " + bytesLine("", '>', "51 52 53 54 55 56 57 58 59 5a 61 62 63 64 65 66 ", "QRSTUVWXYZabcdef") +
        "        " + bytesLine("", '>', "67 68 69 6a 6b 6c 6d 6e ", "ghijklmn");
    for (int past = 0; past < 2; ++past) {
        const Ended e = replayUntilItEnds(trace, [past](Port& port) {
            if (past) {
                write(port, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn");
                write(port, "\x5A\x01");
            } else {
                write(port, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdEfghijklmn");
            }
        });
        EXPECT_EQ(e.status, 5);
        EXPECT_EQ(e.said,
                  past ? "replay of bench.trace diverged at line 6: the recording has ended there, the program sent "
                         "5a 01\n"
                       : "replay of bench.trace diverged at line 3: the recording sends ... 57 58 59 5a 61 62 63 64 "
                         "65 66 67 68 69 6a 6b 6c 6d 6e (40 bytes), the program sent ... 57 58 59 5a 61 62 63 64 45 "
                         "66 67 68 69 6a 6b 6c 6d 6e (40 bytes)\n");
    }
}

}  // namespace
}  // namespace bc::ports
