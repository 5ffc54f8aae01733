// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "scope/command_channel.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/delay.h"
#include "scope/scope_interface.h"
#include "serial/com_port.h"
#include "serial/short_replies.h"
#include "serial/transfer.h"

namespace bc {

DWORD iQueryBytesRead;
DWORD iCountBytesRead;

namespace {

// The command last sent, while no reply to it has been read: it names the
// exchange when the reply that follows falls short. Its start is enough.
char g_awaitingReplyTo[48];

void rememberCommand(const char* cmd) {
    strncpy(g_awaitingReplyTo, cmd, sizeof g_awaitingReplyTo - 1);
    g_awaitingReplyTo[sizeof g_awaitingReplyTo - 1] = '\0';
}

// A query or learn request that brought nothing, and a waveform block (the
// one reply of fixed length) that came short, are noted; the first read after
// the command is its reply, whatever it brought.
void replyRead(DWORD got, DWORD wanted) {
    if (!g_awaitingReplyTo[0]) return;
    if (got == 0 || (got < wanted && wanted == scopeBlockSize))
        noteShortTextReply(g_awaitingReplyTo, got, got ? wanted : 0);
    g_awaitingReplyTo[0] = '\0';
}

}  // namespace

void ScopeSendCmd(int fd, const char* cmd) {
    printf("\n\n==============================================\n\r");
    printf("\n\r ScopeSendCmd: %s \n\r", cmd);
    rememberCommand(cmd);
    writeBytes(fd, cmd, int(strlen(cmd)));
}

// The instrument answers a query well within 600 ms, so one read after that
// wait takes the whole reply; the read ends 100 ms after its last byte.
float scopeQueryValue(int fd, const char* query) {
    char reply[scopeQueryBufferSize] = {};
    float value = 0.0f;
    ScopeSendCmd(fd, query);
    delayMs(600);
    ReadFile(hPort, reply, scopeQueryReadMax, &iQueryBytesRead, nullptr);
    const DWORD got = iQueryBytesRead < scopeQueryReadMax ? iQueryBytesRead : scopeQueryReadMax;
    replyRead(got, 0);
    reply[got] = '\0';
    reply[scopeQueryReadMax] = '\0';
    // strtof reads what "%g" would (white space first, then a number) but,
    // unlike the scanf family, is defined for numbers beyond float range:
    // those come back as infinity, never as undefined behaviour.
    char* end = nullptr;
    const float parsed = strtof(reply, &end);
    if (end != reply) value = parsed;
    printf("%5d,%E,%s\n", int(iQueryBytesRead), double(value), reply);
    return value;
}

// The try counter is shared by the whole call: a read that brings data does
// not restore it, so the second empty read ends the loop whenever it comes.
DWORD count_rd(int, const char*, void* buffer, DWORD wanted) {
    unsigned char* into = static_cast<unsigned char*>(buffer);
    DWORD received = 0;
    int tries = 2;
    bool more = true;
    while (more) {
        ReadFile(hPort, into + received, wanted - received, &iCountBytesRead, nullptr);
        const int n = int(iCountBytesRead);
        if (n > 0) {
            received += DWORD(n);
            more = received < wanted;
        } else {
            --tries;
            more = tries != 0;
        }
        printf("count_rd: %d countGot: %d want: %d loop: %d\n", n, int(received), int(wanted), tries);
    }
    replyRead(received, wanted);
    return received;
}

}  // namespace bc
