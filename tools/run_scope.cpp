#include <cstdio>

#include "scope/command_channel.h"
#include "scope/dual_capture.h"
#include "scope/sequences.h"
#include "scope/single_capture.h"
#include "tools/routine_table.h"

namespace bc::run {

namespace {

// Commands carry their own terminator, which a shell argument cannot hold
// easily: "\r", "\n" and "\\" in the argument stand for CR, LF and a
// backslash.
const char* unescape(const char* text) {
    static char out[1024];
    size_t n = 0;
    for (const char* p = text; *p && n + 1 < sizeof out; ++p) {
        char c = *p;
        if (c == '\\' && p[1]) {
            ++p;
            c = *p == 'r' ? '\r' : *p == 'n' ? '\n' : *p;
        }
        out[n++] = c;
    }
    out[n] = '\0';
    return out;
}

void runSendCmd(const Args& a) { ScopeSendCmd(a.fd, unescape(a.text[0])); }

void runQueryValue(const Args& a) {
    printf("%g\n", double(scopeQueryValue(a.fd, unescape(a.text[0]))));
}

void runCountRd(const Args& a) {
    static unsigned char buffer[65536];
    const DWORD wanted = a.num[0] < 0 ? 0 : a.num[0] > int(sizeof buffer) ? sizeof buffer : DWORD(a.num[0]);
    printf("%d\n", int(count_rd(a.fd, "", buffer, wanted)));
}

void runReadAquire(const Args& a) { scopeReadAquire(a.fd, a.num[0]); }
void runReadDual(const Args& a) { scopeReadDual(a.fd, a.num[0]); }
void runTestSequence(const Args& a) { printf("%d\n", scopeTestSequence(a.fd)); }
void runSetup(const Args& a) { printf("%d\n", scopeSetup(a.fd)); }
void runPollWaveforms(const Args& a) { printf("%d\n", scopePollWaveforms(a.fd)); }
void runPollDual(const Args& a) { printf("%d\n", scopePollDual(a.fd)); }

}  // namespace

std::span<const Routine> scopeRoutines() {
    static const Routine table[] = {
        {"ScopeSendCmd", "t", "command (\\r \\n for CR LF)", true, runSendCmd},
        {"scopeQueryValue", "t", "query (\\r \\n for CR LF)", true, runQueryValue},
        {"count_rd", "i", "bytes-wanted", true, runCountRd},
        {"scopeReadAquire", "c", "channel", true, runReadAquire},
        {"scopeReadDual", "c", "channel", true, runReadDual},
        {"scopeTestSequence", "", "", true, runTestSequence},
        {"scopeSetup", "", "", true, runSetup},
        {"scopePollWaveforms", "", "", true, runPollWaveforms},
        {"scopePollDual", "", "", true, runPollDual},
    };
    return table;
}

}  // namespace bc::run
