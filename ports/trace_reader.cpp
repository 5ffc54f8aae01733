// The trace's lines, read back. Each line is a time stamp and either the
// bytes of one WriteFile ('>') or ReadFile ('<'), 16 a line, or a call in the
// traced port's words. The calls are one table, kLineKinds below: a new kind
// of call is one row there, with the function that reads what follows its
// name, and a CallKind.
//
// Every reader is strict in the same way: it takes the values out of the
// words and then writes them again with the traced port's own functions; a
// line that does not come out the same is not one the traced port wrote.
#include "ports/trace_reader.h"

#include <cctype>

#include "ports/driver_dcb.h"
#include "ports/port_trace.h"
#include "ports/trace_words.h"

namespace bc::ports {

namespace {

constexpr size_t kBytesPerLine = 16;
constexpr size_t kHexWidth = 48;            // 16 bytes as "hh ", padded
constexpr size_t kStampWidth = 13;          // "   0.000023  ": continued lines have spaces there
constexpr uint64_t kMaxSeconds = 99999999;  // a little over three years
constexpr uint64_t kMaxDword = 0xFFFFFFFFu;

using View = std::string_view;

bool take(View& s, View prefix) {
    if (s.substr(0, prefix.size()) != prefix) return false;
    s.remove_prefix(prefix.size());
    return true;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal number at the front of `s`, at most `max`.
bool takeNumber(View& s, uint64_t max, uint64_t& value, std::string& problem) {
    size_t n = 0;
    value = 0;
    bool over = false;
    for (; n < s.size() && isDigit(s[n]); ++n) {
        if (value > (max - uint64_t(s[n] - '0')) / 10) over = true;
        if (!over) value = value * 10 + uint64_t(s[n] - '0');
    }
    if (n == 0) {
        problem = "a number is missing";
        return false;
    }
    if (n > 1 && s[0] == '0') {
        // The trace writes none so; "064" would not match the call's "64".
        problem = "the number " + std::string(s.substr(0, n > 24 ? 24 : n)) + " has a leading zero";
        return false;
    }
    if (over) {
        problem = "the number " + std::string(s.substr(0, n > 24 ? 24 : n)) + (n > 24 ? "..." : "") +
                  " is out of range (at most " + std::to_string(max) + ")";
        return false;
    }
    s.remove_prefix(n);
    return true;
}

bool takeDword(View& s, DWORD& value, std::string& problem) {
    uint64_t v = 0;
    if (!takeNumber(s, kMaxDword, v, problem)) return false;
    value = DWORD(v);
    return true;
}

int hexDigit(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A line quoted in a message: printable, and not too long.
std::string quoted(View line) {
    std::string q;
    for (char c : line.substr(0, 40)) q += c >= 0x20 && c < 0x7F ? c : '?';
    return "\"" + q + (line.size() > 40 ? "...\"" : "\"");
}

bool notAsWritten(View what, std::string& problem) {
    problem = "it does not read as the trace writes " + std::string(what);
    return false;
}

// ": failed, error 5 (REASON)", the whole of `s`.
bool readFailure(View s, TraceEntry& e, std::string& problem) {
    if (!take(s, ": failed, error ") || !takeDword(s, e.error, problem)) {
        if (problem.empty()) problem = "its failure does not read as \": failed, error N (reason)\"";
        return false;
    }
    if (e.error == ERROR_SUCCESS) {
        problem = "it fails with error 0, which is success";
        return false;
    }
    if (!take(s, " (") || s.empty() || s.back() != ')') {
        problem = "its failure's reason is not in parentheses";
        return false;
    }
    e.reason = std::string(s.substr(0, s.size() - 1));
    return true;
}

// ---- the calls, one reader each: `args` is what follows the name, the
// failure (if any) already taken off ----

bool readOpen(View args, TraceEntry& e, std::string& problem) {
    if (!args.empty() && args[0] != ' ') return notAsWritten("an open", problem);
    e.words = "open";
    return true;
}

bool readNothingMore(View args, TraceEntry&, std::string& problem) {
    if (!args.empty()) problem = "something follows the call: " + quoted(args);
    return args.empty();
}

bool readClose(View args, TraceEntry& e, std::string& problem) {
    e.words = "close";
    return readNothingMore(args, e, problem);
}

bool readSetupComm(View args, TraceEntry& e, std::string& problem) {
    DWORD in = 0, out = 0;
    View s = args;
    if (!take(s, " in ") || !takeDword(s, in, problem) || !take(s, ", out ") || !takeDword(s, out, problem) ||
        !s.empty())
        return problem.empty() ? notAsWritten("SetupComm", problem) : false;
    e.words = "SetupComm" + std::string(args);
    return true;
}

bool readGetState(View args, TraceEntry& e, std::string& problem) {
    e.words = "GetCommState";
    if (e.error) return readNothingMore(args, e, problem);
    if (!take(args, " ") || !readDcbWords(args, e.dcb)) return notAsWritten("line settings", problem);
    return true;
}

bool readSetState(View args, TraceEntry& e, std::string& problem) {
    e.words = "SetCommState" + std::string(args);
    DCB dcb{};
    if (!take(args, " ") || !readDcbWords(args, dcb)) return notAsWritten("line settings", problem);
    return true;
}

bool readTimeouts(View args, TraceEntry& e, std::string& problem) {
    COMMTIMEOUTS t{};
    View s = args;
    bool ok = take(s, " read interval ");
    if (ok && take(s, "MAXDWORD"))
        t.ReadIntervalTimeout = MAXDWORD;
    else
        ok = ok && takeDword(s, t.ReadIntervalTimeout, problem) && take(s, " ms");
    ok = ok && take(s, ", read total ") && takeDword(s, t.ReadTotalTimeoutMultiplier, problem) &&
         take(s, " ms/byte + ") && takeDword(s, t.ReadTotalTimeoutConstant, problem) && take(s, " ms, write total ") &&
         takeDword(s, t.WriteTotalTimeoutMultiplier, problem) && take(s, " ms/byte + ") &&
         takeDword(s, t.WriteTotalTimeoutConstant, problem) && take(s, " ms") && s.empty();
    if (!ok || " " + timeoutWords(t) != args) return problem.empty() ? notAsWritten("time-outs", problem) : false;
    e.words = "SetCommTimeouts" + std::string(args);
    return true;
}

bool readEscape(View args, TraceEntry& e, std::string& problem) {
    View s = args;
    bool ok = take(s, " ");
    DWORD func = 0;
    for (DWORD f = SETXOFF; ok && f <= CLRBREAK && !func; ++f)
        if (s == escapeWords(f)) func = f;
    if (ok && !func) ok = takeDword(s, func, problem) && s.empty();
    if (!ok || " " + escapeWords(func) != args)
        return problem.empty() ? notAsWritten("an escape function", problem) : false;
    e.words = "EscapeCommFunction" + std::string(args);
    return true;
}

bool readModemStatus(View args, TraceEntry& e, std::string& problem) {
    e.words = "GetCommModemStatus";
    if (e.error) return readNothingMore(args, e, problem);
    View s = args;
    uint64_t v = 0;
    size_t n = 0;
    if (take(s, " 0x"))
        for (; n < s.size() && n <= 8 && hexDigit(s[n]) >= 0; ++n) v = v * 16 + uint64_t(hexDigit(s[n]));
    if (n == 0 || n > 8) return notAsWritten("a modem status", problem);
    e.status = DWORD(v);
    if (" " + modemWords(e.status) != args) return notAsWritten("a modem status", problem);
    return true;
}

bool readPurge(View args, TraceEntry& e, std::string& problem) {
    static const struct {
        const char* name;
        DWORD flag;
    } names[] = {
        {"TXABORT", PURGE_TXABORT}, {"RXABORT", PURGE_RXABORT}, {"TXCLEAR", PURGE_TXCLEAR}, {"RXCLEAR", PURGE_RXCLEAR}};
    DWORD flags = 0;
    View s = args;
    while (take(s, " ") && !s.empty() && s != "(nothing)") {
        const View word = s.substr(0, s.find(' '));
        s.remove_prefix(word.size());
        bool named = false;
        for (const auto& n : names)
            if (word == n.name) flags |= n.flag, named = true;
        View hex = word;
        uint64_t v = 0;
        if (!named && take(hex, "0x") && !hex.empty() && hex.size() <= 8) {
            for (char c : hex) v = hexDigit(c) < 0 ? kMaxDword + 1 : v * 16 + uint64_t(hexDigit(c));
            if (v <= kMaxDword) flags |= DWORD(v), named = true;
        }
        if (!named) return notAsWritten("purge flags", problem);
    }
    if (purgeWords(flags) != args) return notAsWritten("purge flags", problem);
    e.words = "PurgeComm" + std::string(args);
    return true;
}

// "ReadFile of N bytes: nothing came", or with the failure taken off.
bool readNoBytes(View args, TraceEntry& e, std::string& problem) {
    View s = args;
    if (!take(s, " ") || !takeDword(s, e.count, problem) || !take(s, " bytes"))
        return problem.empty() ? notAsWritten("a read", problem) : false;
    if (!e.error && !take(s, ": nothing came")) return notAsWritten("a read", problem);
    if (e.count == 0 && !e.error) {
        problem = "a read of 0 bytes cannot have waited for any";
        return false;
    }
    e.words = "ReadFile of " + std::to_string(e.count) + " bytes";
    return readNothingMore(s, e, problem);
}

// ": the program ends with status 130": 128 and the signal's number.
bool readEnd(View args, TraceEntry& e, std::string& problem) {
    uint64_t status = 0;
    if (!take(args, ": the program ends with status ") || !takeNumber(args, 255, status, problem) || !args.empty())
        return problem.empty() ? notAsWritten("the end of a program", problem) : false;
    if (status <= 128) {
        problem = "a program ended by a signal ends with a status from 129 to 255, not " + std::to_string(status);
        return false;
    }
    e.status = DWORD(status);
    e.words = e.consoleLost ? "console lost" : "interrupted";
    return true;
}

bool readConsoleLost(View args, TraceEntry& e, std::string& problem) {
    e.consoleLost = true;
    return readEnd(args, e, problem);
}

// Every call a trace records, by the words its line starts with.
struct LineKind {
    const char* name;
    CallKind kind;
    bool (*read)(View args, TraceEntry& e, std::string& problem);
};

constexpr LineKind kLineKinds[] = {
    {"open", CallKind::open, readOpen},
    {"SetupComm", CallKind::setupComm, readSetupComm},
    {"GetCommState", CallKind::getState, readGetState},
    {"SetCommState", CallKind::setState, readSetState},
    {"SetCommTimeouts", CallKind::setTimeouts, readTimeouts},
    {"EscapeCommFunction", CallKind::escape, readEscape},
    {"GetCommModemStatus", CallKind::modemStatus, readModemStatus},
    {"PurgeComm", CallKind::purge, readPurge},
    {"ReadFile of", CallKind::read, readNoBytes},
    {"close", CallKind::close, readClose},
    {"interrupted", CallKind::ended, readEnd},
    {"console lost", CallKind::ended, readConsoleLost},
};

// Calls whose words may be followed by a failure.
bool canFail(CallKind k) { return k != CallKind::close && k != CallKind::ended; }

bool readCall(View words, TraceEntry& e, std::string& problem) {
    for (const LineKind& k : kLineKinds) {
        View args = words;
        if (!take(args, k.name) || (!args.empty() && args[0] != ' ' && args[0] != ':')) continue;
        e.kind = k.kind;
        // The open's words hold what BENCHCOM_PORT said, so the failure is
        // looked for from the end there; the other calls' words are ours.
        const size_t failed = k.kind == CallKind::open ? args.rfind(": failed, error ") : args.find(": failed, error ");
        if (failed != View::npos && canFail(k.kind)) {
            if (!readFailure(args.substr(failed), e, problem)) return false;
            args = args.substr(0, failed);
        }
        return k.read(args, e, problem);
    }
    problem = "it is no call a port trace records: " + quoted(words);
    return false;
}

// "   0.000023  " (wider past 9999 s): the microseconds since the first open.
bool readStamp(View& line, int64_t& us, std::string& problem) {
    while (take(line, " ")) {}
    uint64_t seconds = 0, micro = 0;
    if (line.empty() || !isDigit(line[0])) {
        problem = "it does not begin with a time stamp: " + quoted(line);
        return false;
    }
    if (!takeNumber(line, kMaxSeconds, seconds, problem)) return false;
    View frac = line;
    if (!take(frac, ".") || frac.size() < 6) return notAsWritten("a time stamp", problem);
    for (size_t i = 0; i < 6; ++i) {
        if (!isDigit(frac[i])) return notAsWritten("a time stamp", problem);
        micro = micro * 10 + uint64_t(frac[i] - '0');
    }
    frac.remove_prefix(6);
    if (!take(frac, "  ")) return notAsWritten("a time stamp", problem);
    line = frac;
    us = int64_t(seconds * 1000000 + micro);
    return true;
}

// One line of bytes after its direction and space: the hexadecimal, the
// characters, and a note after them on an entry's first line.
bool readByteLine(View s, std::vector<uint8_t>& out, std::string& note, std::string& problem) {
    if (s.size() < kHexWidth + 1 || s[kHexWidth] != ' ') return notAsWritten("bytes", problem);
    const View hex = s.substr(0, kHexWidth);
    size_t n = 0;
    for (; n < kBytesPerLine && hex[3 * n] != ' '; ++n) {
        const int hi = hexDigit(hex[3 * n]), lo = hexDigit(hex[3 * n + 1]);
        if (hi < 0 || lo < 0 || hex[3 * n + 2] != ' ') return notAsWritten("bytes", problem);
        out.push_back(uint8_t(hi * 16 + lo));
    }
    if (n == 0 || hex.substr(3 * n).find_first_not_of(' ') != View::npos) return notAsWritten("bytes", problem);
    View text = s.substr(kHexWidth + 1);
    const uint8_t* bytes = out.data() + out.size() - n;
    for (size_t i = 0; i < n; ++i) {
        const char shown = bytes[i] >= 0x20 && bytes[i] < 0x7F ? char(bytes[i]) : '.';
        // An editor may have taken the spaces off the end of a line.
        if (i >= text.size() && shown == ' ') continue;
        if (i >= text.size() || text[i] != shown) {
            problem = "its characters do not match its bytes";
            return false;
        }
    }
    text.remove_prefix(text.size() < n ? text.size() : n);
    note.clear();
    if (text.empty()) return true;
    if (text.size() < kBytesPerLine - n + 3 ||
        text.substr(0, kBytesPerLine - n + 2).find_first_not_of(' ') != View::npos)
        return notAsWritten("bytes", problem);
    note = std::string(text.substr(kBytesPerLine - n + 2));
    return true;
}

// "(K of N)" or "(K of N written)" at the front of `s`.
bool takePart(View& s, const char* after, DWORD& k, DWORD& n, std::string& problem) {
    return take(s, "(") && takeDword(s, k, problem) && take(s, " of ") && takeDword(s, n, problem) && take(s, after);
}

bool readWriteNote(View note, TraceEntry& e, std::string& problem) {
    e.count = e.done = DWORD(e.bytes.size());
    if (note.empty()) return true;
    DWORD k = 0, n = 0;
    if (note[0] == '(') {
        if (!takePart(note, " written)", k, n, problem) || n != e.count || k >= n)
            return problem.empty() ? notAsWritten("a write's count", problem) : false;
        e.done = k;
        if (note.empty()) return true;
        if (!take(note, " ")) return notAsWritten("a write's count", problem);
    } else {
        e.done = 0;
    }
    if (!take(note, "WriteFile")) return notAsWritten("a write's failure", problem);
    return readFailure(note, e, problem);
}

bool readReadNote(View note, TraceEntry& e, std::string& problem) {
    e.count = e.done = DWORD(e.bytes.size());
    if (note.empty()) return true;
    DWORD k = 0, n = 0;
    if (!takePart(note, ")", k, n, problem) || k != e.done || n < k)
        return problem.empty() ? notAsWritten("a read's count", problem) : false;
    e.count = n;
    if (note.empty()) {
        if (n == k) return notAsWritten("a read's count", problem);
        return true;
    }
    if (!take(note, " ReadFile")) return notAsWritten("a read's failure", problem);
    return readFailure(note, e, problem);
}

bool isContinuation(View line, char direction) {
    return line.size() > kStampWidth + 1 && line.substr(0, kStampWidth).find_first_not_of(' ') == View::npos &&
           line[kStampWidth] == direction && line[kStampWidth + 1] == ' ';
}

// The first line: "# PROGRAM VERSION port trace, format N: ...", or the
// same without the format, as traces were written before it was named.
bool readHeader(View line, Trace& trace, std::string& problem) {
    const size_t named = line.find(" port trace, format ");
    if (line.substr(0, 2) == "# " && named != View::npos) {
        View s = line.substr(named + 20);
        uint64_t format = 0;
        if (!takeNumber(s, 9999, format, problem) || !take(s, ":"))
            return problem.empty() ? notAsWritten("its format", problem) : false;
        if (format > uint64_t(kTraceFormat)) {
            problem = "it is a trace of format " + std::to_string(format) + ", and this program reads formats up to " +
                      std::to_string(kTraceFormat);
            return false;
        }
        trace.format = int(format);
        return true;
    }
    if (line.substr(0, 2) == "# " && line.find(" port trace: ") != View::npos) {
        trace.format = 0;
        return true;
    }
    problem = "it is not a benchcom port trace: its first line is " + quoted(line);
    return false;
}

}  // namespace

bool readDcbWords(View words, DCB& dcb) {
    static const char* const dtr[] = {"off", "on", "handshake"};
    static const char* const rts[] = {"off", "on", "handshake", "toggle"};
    DCB d = freshDriverDcb();
    std::string ignored;
    View s = words;
    DWORD baud = 0, size = 0;
    if (!takeDword(s, baud, ignored) || !take(s, " baud ") || !takeDword(s, size, ignored) || size > 255 || s.empty())
        return false;
    const char* parity = "NOEMS";
    const char* p = s[0] ? std::char_traits<char>::find(parity, 5, s[0]) : nullptr;
    if (!p) return false;
    s.remove_prefix(1);
    d.BaudRate = baud;
    d.ByteSize = BYTE(size);
    d.Parity = BYTE(p - parity);
    d.StopBits = take(s, "1.5") ? ONE5STOPBITS : take(s, "1") ? ONESTOPBIT : take(s, "2") ? TWOSTOPBITS : 0xFF;
    if (d.StopBits == 0xFF || !take(s, ", DTR ")) return false;
    DWORD found = 4;
    for (DWORD i = 0; i < 3 && found == 4; ++i)
        if (take(s, dtr[i])) found = i;
    d.fDtrControl = found & 3;
    if (found == 4 || !take(s, ", RTS ")) return false;
    found = 4;
    for (DWORD i = 0; i < 4 && found == 4; ++i)
        if (take(s, rts[i])) found = i;
    d.fRtsControl = found & 3;
    if (found == 4) return false;
    d.fOutxCtsFlow = d.fOutxDsrFlow = d.fOutX = d.fInX = 0;
    if (!take(s, ", no flow control")) {
        if (!take(s, ", flow control")) return false;
        d.fOutxCtsFlow = take(s, " CTS");
        d.fOutxDsrFlow = take(s, " DSR");
        d.fOutX = d.fInX = take(s, " XON/XOFF");
    }
    if (!s.empty() || describeDcb(d) != words) return false;
    dcb = d;
    return true;
}

bool readTrace(View text, Trace& trace, int& badLine, std::string& problem) {
    trace = Trace{};
    std::vector<View> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == View::npos) end = text.size();
        View line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        at = end + 1;
    }
    trace.lines = int(lines.size());
    problem.clear();
    badLine = 1;
    if (lines.empty()) {
        problem = "the file is empty, and a trace begins with a line that names it";
        return false;
    }
    if (!readHeader(lines[0], trace, problem)) return false;
    for (size_t i = 1; i < lines.size(); ++i) {
        badLine = int(i + 1);
        View line = lines[i];
        if (line.empty() || line[0] == '#') continue;  // a person's notes
        if (isContinuation(line, '>') || isContinuation(line, '<')) {
            problem = "it continues bytes, but no line of bytes comes before it";
            return false;
        }
        TraceEntry e;
        e.line = badLine;
        if (!readStamp(line, e.us, problem)) return false;
        if (line.size() >= 2 && (line[0] == '>' || line[0] == '<') && line[1] == ' ') {
            const char direction = line[0];
            e.kind = direction == '>' ? CallKind::write : CallKind::read;
            std::string note, more;
            if (!readByteLine(line.substr(2), e.bytes, note, problem)) return false;
            while (i + 1 < lines.size() && isContinuation(lines[i + 1], direction)) {
                badLine = int(++i + 1);
                if (e.bytes.size() % kBytesPerLine != 0) {
                    problem = "a line of fewer than 16 bytes is continued on the next";
                    return false;
                }
                if (!readByteLine(lines[i].substr(kStampWidth + 2), e.bytes, more, problem)) return false;
                if (!more.empty()) return notAsWritten("continued bytes", problem);
            }
            if (e.bytes.size() > kMaxDword) return notAsWritten("bytes", problem);
            badLine = e.line;
            if (!(direction == '>' ? readWriteNote(note, e, problem) : readReadNote(note, e, problem))) return false;
            if (direction == '<') e.words = "ReadFile of " + std::to_string(e.count) + " bytes";
        } else if (!readCall(line, e, problem)) {
            return false;
        }
        trace.entries.push_back(std::move(e));
    }
    badLine = 0;
    return true;
}

}  // namespace bc::ports
