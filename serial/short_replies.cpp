#include "serial/short_replies.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace bc {

namespace {

int g_count = 0;
char g_first[160] = "";

// Appends to the first exchange's words, never past their end.
void append(const char* format, ...) {
    const size_t used = strlen(g_first);
    va_list args;
    va_start(args, format);
    vsnprintf(g_first + used, sizeof g_first - used, format, args);
    va_end(args);
}

// How many reply bytes came, in words.
void appendGot(DWORD got, DWORD wanted) {
    if (wanted == 0)
        append(" got no reply");
    else
        append(" got %u of %u reply bytes", unsigned(got), unsigned(wanted));
}

// The command as a script would write it: its line ends as \r and \n, other
// unprintable bytes as \xHH; a long one is cut short.
void quoted(char* out, size_t room, const char* text) {
    size_t n = 0;
    auto put = [&](const char* s) {
        while (*s && n + 1 < room) out[n++] = *s++;
    };
    put("\"");
    for (int i = 0; text[i]; ++i) {
        if (i == 40) {
            put("...");
            break;
        }
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const char* named = c == '\r'   ? "\\r"
                            : c == '\n' ? "\\n"
                            : c == '\t' ? "\\t"
                            : c == '"'  ? "\\\""
                            : c == '\\' ? "\\\\"
                                        : nullptr;
        char one[8] = {char(c), 0};
        if (c < 0x20 || c >= 0x7F) snprintf(one, sizeof one, "\\x%02X", c);
        put(named ? named : one);
    }
    put("\"");
    out[n] = '\0';
}

}  // namespace

void noteShortFrame(const char* kind, const unsigned char* head, DWORD sent, DWORD got, DWORD wanted) {
    if (g_count++) return;
    g_first[0] = '\0';
    append("%s", kind);
    // Frames are at least two bytes; four name any of them.
    const DWORD shown = sent == 0 ? 2 : sent < 4 ? sent : 4;
    for (DWORD i = 0; i < shown; ++i) append(" %02X", head[i]);
    if (sent > 4) append(" ...");
    if (sent == 0) append(" (not sent)");
    appendGot(got, wanted);
}

// The command's words leave room for how much came.
void noteShortTextReply(const char* command, DWORD got, DWORD wanted) {
    if (g_count++) return;
    quoted(g_first, sizeof g_first - 40, command);
    appendGot(got, wanted);
}

int shortReplyCount() { return g_count; }

const char* firstShortReply() { return g_first; }

void forgetShortReplies() {
    g_count = 0;
    g_first[0] = '\0';
}

}  // namespace bc
