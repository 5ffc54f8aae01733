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

void runQueryValue(const Args& a) { printf("%g\n", double(scopeQueryValue(a.fd, unescape(a.text[0])))); }

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
        {"ScopeSendCmd", "t", "command (\\r \\n for CR LF)",
         "Sends one command to the oscilloscope exactly as given, terminator included, and reads "
         "no reply. Immediate.",
         true, runSendCmd},
        {"scopeQueryValue", "t", "query (\\r \\n for CR LF)",
         "Sends a query, waits 600 ms, reads the reply once and prints its length, number and "
         "text, then the number. About 0.7 s; 1.7 s when nothing answers.",
         true, runQueryValue},
        {"count_rd", "i", "bytes-wanted",
         "Sends nothing; reads up to that many bytes from the instrument, a trace line per read, "
         "until all have come or a second read brings nothing, and prints the count.",
         true, runCountRd},
        {"scopeReadAquire", "c", "channel",
         "Captures one channel (1, or any other character for 2): its 4000 samples and seven "
         "settings queries, written to op_scope1.csv or op_scope2.csv and plotted as text on the "
         "console. About 10 s.",
         true, runReadAquire},
        {"scopeReadDual", "c", "channel",
         "Captures both channels with the learn string: writes op_scope.csv and the chart script "
         "gbookFtemp.js and plots channel 1 on the console; the channel names the CSV's Source "
         "line only. About 9 s.",
         true, runReadDual},
        {"scopeTestSequence", "", "",
         "Resets the instrument, autosets, inverts channel 2, queries its error queue, identity, "
         "settings and trigger frequency, captures both channels (op_scope1.csv, op_scope2.csv), "
         "then steps the time-base delay through 40 values. About a minute.",
         true, runTestSequence},
        {"scopeSetup", "", "",
         "Resets the instrument, autosets, and queries its error queue, identity and settings. "
         "About 3.5 s.",
         true, runSetup},
        {"scopePollWaveforms", "", "",
         "Queries identity and settings, then captures channel 1 and channel 2 (op_scope1.csv, "
         "op_scope2.csv). About 20 s.",
         true, runPollWaveforms},
        {"scopePollDual", "", "",
         "The dual capture of scopeReadDual for channel 1: op_scope.csv and gbookFtemp.js. "
         "About 9 s.",
         true, runPollDual},
    };
    return table;
}

}  // namespace bc::run
