// The network ports against the real thing: Debian's ser2net, started by
// each test on 127.0.0.1, serving a pseudo-terminal on which the test plays
// the device, or on which benchcom-sim serves the whole bench.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "serial/com_port.h"
#include "tests/support/capture.h"
#include "tests/support/lost_capture.h"
#include "tests/support/process.h"
#include "tests/support/pty.h"
#include "tests/support/ser2net.h"

namespace bc {
namespace {

using test::Child;
using test::Ser2net;

const std::string kRun = BENCHCOM_RUN_PATH;
const std::string kSim = BENCHCOM_SIM_PATH;

// BENCHCOM_PORT for the routines this test calls in its own process.
struct PortVariable {
    explicit PortVariable(const std::string& value) { setenv("BENCHCOM_PORT", value.c_str(), 1); }
    ~PortVariable() { unsetenv("BENCHCOM_PORT"); }
};

std::string allByteValues() {
    std::string s;
    for (int i = 0; i < 256; ++i) s += char(i);
    return s;
}

// Reads from the port until `count` bytes have come or 5 s have passed.
std::string readFromPort(size_t count) {
    std::string got;
    const auto start = test::timeMark();
    while (got.size() < count && test::msSince(start) < 5000) {
        char buf[512];
        DWORD n = 0;
        if (!ReadFile(hPort, buf, DWORD(count - got.size()), &n, nullptr)) break;
        got.append(buf, n);
    }
    return got;
}

// openPort, its console line kept out of the test's output.
bool openQuietly(int baud, int parity, int dataBits) {
    test::StdoutCapture quiet;
    return openPort(9, baud, parity, dataBits) != nullptr;
}

// Sends every byte value both ways through `url`, 255 among them.
void everyByteValueBothWays(test::Pty& pty, const std::string& url) {
    PortVariable chosen(url);
    ASSERT_TRUE(openQuietly(19200, 'N', '8'));
    const std::string all = allByteValues();
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(hPort, all.data(), DWORD(all.size()), &written, nullptr));
    EXPECT_EQ(written, all.size());
    std::string heard;
    EXPECT_TRUE(test::awaitBytes(pty, heard, all.size()));
    EXPECT_EQ(heard, all);
    pty.write(all);
    EXPECT_EQ(readFromPort(all.size()), all);
    closePort(9);
}

termios terminalSettings(const test::Pty& pty) {
    termios t{};
    tcgetattr(pty.master(), &t);
    return t;
}

// (A pseudo-terminal takes only the speed: Linux refuses it other data
// sizes and parity, which ser2net acknowledges all the same.)
TEST(Ser2net, Rfc2217CarriesEveryByteValueAndTheSpeedReachesTheTerminal) {
    test::Pty pty;
    Ser2net server;
    ASSERT_TRUE(pty.ok());
    ASSERT_TRUE(server.start(pty.slavePath(), "9600n81"));
    everyByteValueBothWays(pty, server.rfc2217Url());

    // The speed is read while the client holds the device: ser2net puts back
    // the settings it found once the client has gone.
    PortVariable chosen(server.rfc2217Url());
    ASSERT_TRUE(openQuietly(38400, 'N', '8'));
    const termios t = terminalSettings(pty);
    EXPECT_EQ(cfgetospeed(&t), B38400);
    // ser2net cannot set DTR or RTS on a pseudo-terminal and does not
    // answer: the calls neither fail nor block the data after them.
    EXPECT_TRUE(EscapeCommFunction(hPort, SETDTR));
    EXPECT_TRUE(EscapeCommFunction(hPort, SETRTS));
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(hPort, "ok", 2, &written, nullptr));
    std::string heard;
    EXPECT_TRUE(test::awaitText(pty, heard, "ok"));
    closePort(9);
}

TEST(Ser2net, SocketCarriesEveryByteValueAndLeavesTheLineAsTheServerSetIt) {
    test::Pty pty;
    Ser2net server;
    ASSERT_TRUE(pty.ok());
    ASSERT_TRUE(server.start(pty.slavePath(), "9600n81"));
    everyByteValueBothWays(pty, server.socketUrl());

    PortVariable chosen(server.socketUrl());
    ASSERT_TRUE(openQuietly(19200, 'N', '8'));
    // Read while a client holds the device: ser2net puts back the settings
    // it found when it closes it. Bytes through first, so that it has opened
    // and set it up by now.
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(hPort, "ok", 2, &written, nullptr));
    std::string heard;
    EXPECT_TRUE(test::awaitText(pty, heard, "ok"));
    const termios t = terminalSettings(pty);
    EXPECT_EQ(cfgetospeed(&t), B9600);  // 19200 asked for, but not over a raw socket
    DWORD status = 0;
    EXPECT_FALSE(GetCommModemStatus(hPort, &status));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FUNCTION);
    EXPECT_FALSE(EscapeCommFunction(hPort, SETRTS));
    closePort(9);
}

// ClearCommError counts the data that has reached this machine and is not
// yet read, on either kind of network port: what the server sent is taken
// from the connection first.
TEST(Ser2net, ClearCommErrorCountsWhatTheServerSentAndIsNotYetRead) {
    for (const bool rfc2217 : {true, false}) {
        test::Pty pty;
        Ser2net server;
        ASSERT_TRUE(pty.ok());
        ASSERT_TRUE(server.start(pty.slavePath(), "19200n81"));
        const std::string url = rfc2217 ? server.rfc2217Url() : server.socketUrl();
        SCOPED_TRACE(url);
        PortVariable chosen(url);
        ASSERT_TRUE(openQuietly(19200, 'N', '8'));
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(hPort, "?", 1, &written, nullptr));  // ser2net has the device open once it passes this on
        std::string heard;
        EXPECT_TRUE(test::awaitText(pty, heard, "?"));
        pty.write(std::string("ab\xFF", 3));
        COMSTAT queues{};
        DWORD errors = 1;
        const auto start = test::timeMark();
        while (ClearCommError(hPort, &errors, &queues) && queues.cbInQue < 3 && test::msSince(start) < 5000)
            usleep(1000);
        EXPECT_EQ(errors, 0u);
        EXPECT_EQ(queues.cbInQue, 3u);  // a 255 doubled on the way counts once
        EXPECT_EQ(readFromPort(1), "a");
        EXPECT_TRUE(ClearCommError(hPort, nullptr, &queues));
        EXPECT_EQ(queues.cbInQue, 2u);
        closePort(9);
    }
}

// What the bench's port received before the client came is no reply to
// anything it asks: ser2net keeps it and passes it on as soon as a client
// connects, and the RFC 2217 open has it purged. The test holds the
// terminal open beforehand, as a device server's port is, so that the bytes
// wait in its queue; the query then reads its own reply alone.
TEST(Ser2net, Rfc2217OpensWithNothingFromBeforeTheOpen) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    const int held = test::openRaw(pty.slavePath(), O_RDWR);
    ASSERT_GE(held, 0);
    Ser2net server;
    ASSERT_TRUE(server.start(pty.slavePath(), "19200n81"));
    pty.write("stale");
    ASSERT_TRUE(test::awaitWaiting(held, 5));

    Child tool({kRun, "scopeQueryValue", ":TIM:SCAL?\\n"}, {"BENCHCOM_PORT=" + server.rfc2217Url()});
    std::string heard;
    EXPECT_TRUE(test::awaitText(pty, heard, ":TIM:SCAL?\n"));
    pty.write(" 2.000e+00\n");
    auto& r = tool.finish();
    close(held);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(":TIM:SCAL?\n \n\r   11,2.000000E+00, 2.000e+00\n"), std::string::npos) << r.out;
}

TEST(Ser2net, AServerKilledMidCaptureEndsTheCaptureWithinItsTimeOutsAndItsFilesWhole) {
    test::Pty pty;
    Ser2net server;
    ASSERT_TRUE(pty.ok());
    ASSERT_TRUE(server.start(pty.slavePath()));
    test::dualCaptureLosesItsDevice(pty, server.rfc2217Url(), [&] { server.kill(); });
}

// One session of the simulated bench: the routines run through `port`
// (empty: the bench's own terminal), each in the same scratch directory.
struct BenchRun {
    std::string out, wire, csv, js;
    int status = -1;
};

BenchRun runOnBench(const std::string& kind) {
    test::ScratchDir s;
    const std::string wire = (s.dir / "wire.bin").string();
    Child sim({kSim, "--view", "/dev/null", "--wire", wire});
    BenchRun r;
    if (!sim.waitForOutput("\n", 5000)) return r;
    const std::string terminal = sim.result.out.substr(0, sim.result.out.find('\n'));
    Ser2net server;
    std::string port = terminal;
    if (!kind.empty()) {
        if (!server.start(terminal, "19200n81")) return r;
        port = kind == "rfc2217" ? server.rfc2217Url() : server.socketUrl();
    }
    auto run = test::run(
        {"/bin/sh", "-c", "cd " + s.dir.string() + " && " + kRun + " issVersion && " + kRun + " scopePollDual"},
        {"BENCHCOM_PORT=" + port});
    r.out = run.out;
    r.status = run.status;
    server.kill();
    sim.signal(SIGINT);
    sim.finish();
    r.wire = test::readFile(wire.c_str());
    r.csv = test::readFile((s.dir / "op_scope.csv").c_str());
    r.js = test::readFile((s.dir / "gbookFtemp.js").c_str());
    return r;
}

// The adapter's frames and a dual capture across the network: the same
// bytes reach the bench, and the same console lines and files come out, as
// on the bench's own terminal.
TEST(Ser2net, RoutinesRunAcrossTheNetworkAsOnTheTerminal) {
    const BenchRun local = runOnBench("");
    ASSERT_EQ(local.status, 0);
    ASSERT_NE(local.out.find("ISS:5A-01:ver: 07 05 40"), std::string::npos);
    ASSERT_NE(local.csv.find("Waveform Data,"), std::string::npos);
    for (const char* kind : {"rfc2217", "socket"}) {
        const BenchRun remote = runOnBench(kind);
        EXPECT_EQ(remote.status, 0) << kind;
        EXPECT_EQ(remote.out, local.out) << kind;
        EXPECT_EQ(remote.wire, local.wire) << kind;
        EXPECT_EQ(remote.csv, local.csv) << kind;
        EXPECT_EQ(remote.js, local.js) << kind;
    }
}

// A failed open says why on standard error, and the routines' own failure
// line on standard output keeps its text.
TEST(NetworkPorts, AnOpenThatCannotConnectSaysWhyAndSendsNothing) {
    test::RefusingPort nobody;
    ASSERT_NE(nobody.port, 0);
    const std::string nowhere = "rfc2217://127.0.0.1:" + std::to_string(nobody.port);
    auto refused = test::run({kRun, "issVersion"}, {"BENCHCOM_PORT=" + nowhere});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.out.find("serial port COM9 connect fail \\\\.\\COM3 error 2"), std::string::npos) << refused.out;
    EXPECT_NE(refused.err.find("connection refused by 127.0.0.1:" + std::to_string(nobody.port)), std::string::npos)
        << refused.err;

    auto unknown = test::run({kRun, "issVersion"}, {"BENCHCOM_PORT=socket://no-such-host.invalid:7000"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("host no-such-host.invalid not found"), std::string::npos) << unknown.err;

    // ser2net's raw accepter passes the Telnet negotiation to the device
    // and answers nothing: no RFC 2217 there, and no data sent.
    test::Pty pty;
    Ser2net server;
    ASSERT_TRUE(pty.ok());
    ASSERT_TRUE(server.start(pty.slavePath()));
    Child tool({kRun, "issVersion"}, {"BENCHCOM_PORT=rfc2217://127.0.0.1:" + std::to_string(server.rawPort)});
    std::string heard;
    EXPECT_TRUE(test::awaitBytes(pty, heard, 15));
    auto& raw = tool.finish();
    heard += pty.readUntilQuiet(100);
    EXPECT_EQ(raw.status, 1);
    EXPECT_NE(raw.err.find("it does not speak RFC 2217 (for a raw TCP port use socket://"), std::string::npos)
        << raw.err;
    EXPECT_EQ(heard, std::string("\xFF\xFB\x00\xFF\xFD\x00\xFF\xFB\x03\xFF\xFD\x03\xFF\xFB\x2C", 15));

    // Another client has the device (its byte has reached it): ser2net
    // agrees to the option, then says why it turns the tool away.
    const int other = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(server.rawPort);
    ASSERT_EQ(connect(other, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(send(other, "x", 1, 0), 1);
    heard.clear();
    ASSERT_TRUE(test::awaitText(pty, heard, "x"));
    auto busy = test::run({kRun, "issVersion"}, {"BENCHCOM_PORT=" + server.rfc2217Url()});
    // Raw TCP has no question to tell the server from the device: ser2net
    // says its words and closes at once, and the tool must not read them as
    // the adapter's serial number.
    auto busyRaw = test::run({kRun, "issSerialNumber"}, {"BENCHCOM_PORT=" + server.socketUrl()});
    close(other);
    EXPECT_EQ(busy.status, 1);
    EXPECT_NE(busy.out.find("connect fail \\\\.\\COM3 error 5"), std::string::npos) << busy.out;
    EXPECT_NE(busy.err.find("closed the connection, saying \"Port"), std::string::npos) << busy.err;
    EXPECT_EQ(busyRaw.status, 1);
    EXPECT_EQ(busyRaw.out, "serial port COM9 connect fail \\\\.\\COM3 error 5\n\rOpening Port Failed");
    EXPECT_EQ(busyRaw.err, "benchcom-run: cannot open " + server.socketUrl() +
                               " for \\\\.\\COM3: 127.0.0.1:" + std::to_string(server.rawPort) +
                               " closed the connection as soon as it was made, saying \"Port already in use\". "
                               "Choose the port with BENCHCOM_PORT (benchcom-run --list-ports lists this machine's "
                               "serial ports).\n");
}

}  // namespace
}  // namespace bc
