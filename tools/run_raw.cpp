// Raw frames and commands, for trying what the routine table does not have,
// as one does at an instrument's own console: the bytes go out as given and
// what comes back is printed as it came.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/runtime.h"
#include "serial/com_port.h"
#include "serial/short_replies.h"
#include "serial/transfer.h"
#include "tools/routine_table.h"
#include "tools/words.h"

namespace bc::run {

namespace {

// The most a raw reply may bring: a waveform block is 8014 bytes.
unsigned char g_reply[65536];

// Reads until `wanted` bytes have come or a read brings nothing (the port's
// time-outs end each read 100 ms after its last byte).
DWORD readReply(DWORD wanted) {
    DWORD got = 0;
    while (got < wanted) {
        DWORD n = 0;
        ReadFile(hPort, g_reply + got, wanted - got, &n, nullptr);
        if (n == 0) break;
        got += n;
    }
    return got;
}

// Reads what arrives: the first read waits up to 1.1 s for a reply to
// begin; the reply has ended when a read stops short, 100 ms after the last
// byte.
DWORD readWhatArrives() {
    constexpr DWORD kPiece = 999;
    DWORD got = 0;
    while (got < sizeof g_reply) {
        const DWORD ask = sizeof g_reply - got < kPiece ? DWORD(sizeof g_reply - got) : kPiece;
        DWORD n = 0;
        ReadFile(hPort, g_reply + got, ask, &n, nullptr);
        got += n;
        if (n < ask) break;
    }
    return got;
}

// "> 5A 01" or "< 07 05 40": 32 bytes a line, the further lines indented.
void printHex(const char* mark, const unsigned char* bytes, DWORD count) {
    printf("%s", mark);
    for (DWORD i = 0; i < count; ++i) printf(i && i % 32 == 0 ? "\n  %02X" : " %02X", bytes[i]);
}

void runSend(const Args& a) {
    writeBytes(a.fd, reinterpret_cast<const char*>(a.bytes), a.byteCount);
    printHex(">", a.bytes, DWORD(a.byteCount));
    printf("\n");
    const DWORD got = a.replyCount >= 0 ? readReply(DWORD(a.replyCount)) : readWhatArrives();
    printHex("<", g_reply, got);
    if (a.replyCount >= 0 && got < DWORD(a.replyCount)) {
        printf(" (%u of %d)", unsigned(got), a.replyCount);
        noteShortFrame("send", a.bytes, iBytesSent, got, DWORD(a.replyCount));
    } else if (got == 0 && a.replyCount < 0) {
        printf(" (nothing)");
    }
    printf("\n");
}

// The instrument's commands end with a carriage return; a query (a '?' in
// it) that brings nothing is noted as an exchange without a reply.
void runScpi(const Args& a) {
    const std::string command = std::string(a.text[0]) + "\r";
    writeBytes(a.fd, command.c_str(), int(command.size()));
    printf("> %s\n", escaped(command).c_str());
    const DWORD got = readWhatArrives();
    if (got == 0 && std::strchr(a.text[0], '?')) noteShortTextReply(command.c_str(), 0, 0);
    const std::string reply(reinterpret_cast<const char*>(g_reply), got);
    printf("< %s\n", got ? escaped(reply).c_str() : "(nothing)");
}

// Slept in short pieces, so that Ctrl-C and the end of --for are seen at
// once on both systems.
void runWait(const Args& a) {
    const long long until = static_cast<long long>(bc::clock()) + a.num[0];
    for (long long now = bc::clock(); now < until; now = bc::clock())
        bc::_sleep(until - now < 50 ? static_cast<unsigned long>(until - now) : 50UL);
}

}  // namespace

std::span<const Routine> rawRoutines() {
    static const Routine table[] = {
        {"send", "x", "byte... [read n]",
         "Writes the bytes given in hexadecimal (5A 01) to the port and prints them (> 5A 01), then reads N "
         "bytes back, or without read what arrives within the port's time-outs, and prints them (< 07 05 40; "
         "\"(2 of 3)\" when fewer came). Immediate; 0.1 s after the last reply byte without read.",
         true, runSend},
        {"scpi", "t", "text",
         "Sends TEXT to the oscilloscope with its carriage return added, prints it (> *IDN?\\r), and prints "
         "the reply it reads (< ...), \\r, \\n, \\\\ and \\xHH standing for control bytes. 0.1 s after the "
         "reply's last byte; 1.1 s when nothing answers.",
         true, runScpi},
        {"wait", "i", "ms", "Waits MS milliseconds. Sends nothing.", false, runWait},
    };
    return table;
}

}  // namespace bc::run
