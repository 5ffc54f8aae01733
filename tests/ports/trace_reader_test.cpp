// Reading a port trace back: every kind of line the traced port writes, and
// the files a replay must refuse, each with the line and what is wrong.
#include "ports/trace_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace bc::ports {
namespace {

const char kHeader[] =
    "# benchcom-run 0.2.0 (git 0ee926b) port trace, format 1: seconds since the port was first opened; "
    "> sent, < received";

// A line of bytes as the trace lays it out: the hexadecimal padded to 48
// columns, a space, the characters, and a note after 16 columns and two
// spaces.
std::string bytesLine(const std::string& stamp, char dir, const std::string& hex, const std::string& text,
                      const std::string& note = "") {
    std::string line = stamp + dir + " " + hex + std::string(48 - hex.size(), ' ') + " " + text;
    if (!note.empty()) line += std::string(16 - text.size(), ' ') + "  " + note;
    return line;
}

Trace read(const std::string& text) {
    Trace t;
    int line = -1;
    std::string problem;
    EXPECT_TRUE(readTrace(text, t, line, problem)) << "line " << line << ": " << problem;
    return t;
}

TEST(TraceReader, EveryKindOfLineWithWhatItFound) {
    const std::string text =
        std::string(kHeader) + "\r\n" +
        "   0.000000  open /dev/ttyACM0 for \\\\.\\COM3 (BENCHCOM_PORT=/dev/ttyACM0)\r\n"
        "   0.000006  SetupComm in 128, out 128\r\n"
        "   0.000011  GetCommState 9600 baud 7E2, DTR handshake, RTS toggle, flow control CTS XON/XOFF\r\n"
        "# a note someone added\r\n"
        "   0.000013  SetCommState 19200 baud 8N1, DTR off, RTS off, no flow control\r\n"
        "   0.000016  SetCommTimeouts read interval MAXDWORD, read total 0 ms/byte + 0 ms, write total 1 ms/byte "
        "+ 5 ms\r\n" +
        bytesLine("   0.001000  ", '>', "2a 4c 52 4e 3f 0d 00 ff 5a 01 30 31 32 33 34 35 ", "*LRN?...Z.012345") +
        "\r\n" + bytesLine("             ", '>', "36 37 ", "67") + "\r\n" +
        bytesLine("   0.105000  ", '<', "07 02 40 ", "..@", "(3 of 4)") + "\r\n" +
        "   0.206000  ReadFile of 2 bytes: nothing came\r\n"
        "   0.206100  ReadFile of 8 bytes: failed, error 1167 (the device is not connected)\r\n" +
        bytesLine("   0.206200  ", '<', "41 ", "A", "(1 of 8) ReadFile: failed, error 31 (the device failed)") +
        "\r\n" + bytesLine("   0.206300  ", '>', "63 00 ", "c.", "(1 of 2 written)") + "\r\n" +
        bytesLine("   0.206400  ", '>', "63 0f ", "c.",
                  "WriteFile: failed, error 121 (the device did not answer in time)") +
        "\r\n" +
        "   0.206500  EscapeCommFunction SETDTR: failed, error 1 (the device cannot do that (it has no modem-control "
        "lines))\r\n"
        "   0.206600  EscapeCommFunction 12\r\n"
        "   0.206700  GetCommModemStatus 0x00B0 (CTS DSR RLSD)\r\n"
        "   0.206800  PurgeComm TXCLEAR RXCLEAR 0x30\r\n"
        "   3.000000  interrupted: the program ends with status 130\r\n"
        "   3.000010  close\r\n";
    const Trace t = read(text);
    EXPECT_EQ(t.format, 1);
    EXPECT_EQ(t.lines, 21);
    ASSERT_EQ(t.entries.size(), 18u);
    const auto& e = t.entries;

    EXPECT_EQ(e[0].kind, CallKind::open);
    EXPECT_EQ(e[0].error, 0u);
    EXPECT_EQ(e[1].words, "SetupComm in 128, out 128");
    EXPECT_EQ(e[1].line, 3);
    EXPECT_EQ(e[1].us, 6);
    // GetCommState's settings come back on a fresh driver's DCB.
    EXPECT_EQ(e[2].words, "GetCommState");
    EXPECT_EQ(e[2].dcb.BaudRate, 9600u);
    EXPECT_EQ(e[2].dcb.ByteSize, 7);
    EXPECT_EQ(e[2].dcb.Parity, EVENPARITY);
    EXPECT_EQ(e[2].dcb.StopBits, TWOSTOPBITS);
    EXPECT_EQ(e[2].dcb.fDtrControl, unsigned(DTR_CONTROL_HANDSHAKE));
    EXPECT_EQ(e[2].dcb.fRtsControl, unsigned(RTS_CONTROL_TOGGLE));
    EXPECT_EQ(e[2].dcb.fOutxCtsFlow, 1u);
    EXPECT_EQ(e[2].dcb.fOutxDsrFlow, 0u);
    EXPECT_EQ(e[2].dcb.fOutX, 1u);
    EXPECT_EQ(e[2].dcb.XonChar, 0x11);  // a driver's own, which the trace does not show
    EXPECT_EQ(e[3].line, 6);            // the note is a line of its own
    EXPECT_EQ(e[3].words, "SetCommState 19200 baud 8N1, DTR off, RTS off, no flow control");
    EXPECT_EQ(e[4].kind, CallKind::setTimeouts);

    // 18 bytes over two lines, 0x00 and 0xFF among them.
    EXPECT_EQ(e[5].kind, CallKind::write);
    EXPECT_EQ(std::string(e[5].bytes.begin(), e[5].bytes.end()), std::string("*LRN?\r\0\xFF\x5A\x01", 10) + "01234567");
    EXPECT_EQ(e[5].count, 18u);
    EXPECT_EQ(e[5].done, 18u);
    EXPECT_EQ(e[5].us, 1000);
    EXPECT_EQ(e[6].line, 10);
    EXPECT_EQ(e[6].words, "ReadFile of 4 bytes");
    EXPECT_EQ(e[6].done, 3u);
    EXPECT_EQ(e[6].us, 105000);
    EXPECT_EQ(e[7].words, "ReadFile of 2 bytes");
    EXPECT_EQ(e[7].done, 0u);
    EXPECT_EQ(e[7].error, 0u);
    EXPECT_EQ(e[8].error, 1167u);
    EXPECT_EQ(e[8].reason, "the device is not connected");
    EXPECT_EQ(e[8].count, 8u);
    // A read that failed after it had taken a byte.
    EXPECT_EQ(e[9].done, 1u);
    EXPECT_EQ(e[9].count, 8u);
    EXPECT_EQ(e[9].error, 31u);
    EXPECT_EQ(e[10].done, 1u);
    EXPECT_EQ(e[10].error, 0u);
    EXPECT_EQ(e[11].done, 0u);
    EXPECT_EQ(e[11].error, 121u);
    // The reason holds parentheses of its own.
    EXPECT_EQ(e[12].words, "EscapeCommFunction SETDTR");
    EXPECT_EQ(e[12].error, 1u);
    EXPECT_EQ(e[12].reason, "the device cannot do that (it has no modem-control lines)");
    EXPECT_EQ(e[13].words, "EscapeCommFunction 12");
    EXPECT_EQ(e[14].status, 0xB0u);
    EXPECT_EQ(e[15].words, "PurgeComm TXCLEAR RXCLEAR 0x30");
    EXPECT_EQ(e[16].kind, CallKind::ended);
    EXPECT_EQ(e[16].status, 130u);
    EXPECT_FALSE(e[16].consoleLost);
    EXPECT_EQ(e[17].kind, CallKind::close);
    EXPECT_EQ(e[17].us, 3000010);
}

// A trace of before the format was named, as the Linux build wrote it; the
// last byte of a write a space that an editor took off the line's end.
TEST(TraceReader, ATraceOfBeforeTheFormatWasNamedReadsAsFormatZero) {
    const Trace t = read(
        "# benchcom 0.1.0 port trace: seconds since the port was first opened; > sent, < received\n"
        "   0.000000  open the simulated bench for \\\\.\\COM3 (BENCHCOM_PORT=sim)\n"
        "   0.000031  open \\\\.\\COM3: failed, error 2 (no such device)\n"
        "   0.000040  console lost: the program ends with status 141\n" +
        bytesLine("   0.000050  ", '>', "3a 20 ", ":") + "\n");
    EXPECT_EQ(t.format, 0);
    ASSERT_EQ(t.entries.size(), 4u);
    EXPECT_EQ(t.entries[1].error, 2u);
    EXPECT_EQ(t.entries[1].reason, "no such device");
    EXPECT_TRUE(t.entries[2].consoleLost);
    EXPECT_EQ(t.entries[2].status, 141u);
    EXPECT_EQ(t.entries[3].bytes, (std::vector<uint8_t>{':', ' '}));
}

TEST(TraceReader, WhatIsNotATraceIsRefusedWithTheLineAndWhatIsWrong) {
    const std::string h = std::string(kHeader) + "\n";
    const struct {
        std::string text;
        int line;
        const char* problem;
    } cases[] = {
        {"", 1, "the file is empty, and a trace begins with a line that names it"},
        {"\x7f"
         "ELF\x02\x01\x01",
         1, "it is not a benchcom port trace: its first line is \"?ELF???\""},
        {"# benchcom 0.3.0 port trace, format 2: ...\n", 1,
         "it is a trace of format 2, and this program reads formats up to 1"},
        {h + "   0.000000  open sim\n   0.000001  Frobnicate 3\n", 3,
         "it is no call a port trace records: \"Frobnicate 3\""},
        {h + "   0.000006  SetupComm in 4294967296, out 128\n", 2,
         "the number 4294967296 is out of range (at most 4294967295)"},
        {h + "   0.000006  SetupComm in 128 out 128\n", 2, "it does not read as the trace writes SetupComm"},
        {h + "   0.000006  SetupComm in 064, out 128\n", 2, "the number 064 has a leading zero"},
        {h + "open sim\n", 2, "it does not begin with a time stamp: \"open sim\""},
        {h + "   100000000.000000  close\n", 2, "the number 100000000 is out of range (at most 99999999)"},
        {h + "   0.5  close\n", 2, "it does not read as the trace writes a time stamp"},
        {h + bytesLine("   0.000001  ", '>', "5a 01 ", "Z!") + "\n", 2, "its characters do not match its bytes"},
        {h + bytesLine("   0.000001  ", '>', "5a 1 ", "Z.") + "\n", 2, "it does not read as the trace writes bytes"},
        {h + bytesLine("             ", '<', "5a ", "Z") + "\n", 2,
         "it continues bytes, but no line of bytes comes before it"},
        {h + bytesLine("   0.000001  ", '<', "5a ", "Z") + "\n" + bytesLine("             ", '<', "5a ", "Z") + "\n", 3,
         "a line of fewer than 16 bytes is continued on the next"},
        {h + bytesLine("   0.000001  ", '<', "07 02 40 ", "..@", "(3 of 2)") + "\n", 2,
         "it does not read as the trace writes a read's count"},
        {h + bytesLine("   0.000001  ", '>', "63 00 ", "c.", "(3 of 2 written)") + "\n", 2,
         "it does not read as the trace writes a write's count"},
        {h + "   0.000001  GetCommModemStatus 0x0010 (DSR)\n", 2,
         "it does not read as the trace writes a modem status"},
        {h + "   0.000001  SetCommState 19200 baud 8X1, DTR off, RTS off, no flow control\n", 2,
         "it does not read as the trace writes line settings"},
        {h + "   0.000001  EscapeCommFunction 3\n", 2, "it does not read as the trace writes an escape function"},
        {h + "   0.000001  ReadFile of 0 bytes: nothing came\n", 2, "a read of 0 bytes cannot have waited for any"},
        {h + "   0.000001  SetupComm in 1, out 1: failed, error 0 (no error)\n", 2,
         "it fails with error 0, which is success"},
        {h + "   0.000001  SetupComm in 1, out 1: failed, error 5 access denied\n", 2,
         "its failure's reason is not in parentheses"},
        {h + "   0.000001  interrupted: the program ends with status 100\n", 2,
         "a program ended by a signal ends with a status from 129 to 255, not 100"},
        {h + "   0.000001  close now\n", 2, "something follows the call: \" now\""},
    };
    for (const auto& c : cases) {
        Trace t;
        int line = -1;
        std::string problem;
        EXPECT_FALSE(readTrace(c.text, t, line, problem)) << c.text;
        EXPECT_EQ(line, c.line) << c.text;
        EXPECT_EQ(problem, c.problem) << c.text;
    }
}

}  // namespace
}  // namespace bc::ports
