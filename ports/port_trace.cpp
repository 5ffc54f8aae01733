#include "ports/port_trace.h"

#include <cerrno>
#include <cstdlib>

#include "platform/interrupt.h"
#include "platform/monotonic.h"
#include "platform/program_name.h"
#include "platform/seam.h"
#include "platform/version.h"
#include "ports/trace_file.h"

namespace bc::ports {

namespace {

constexpr size_t kBytesPerLine = 16;
constexpr size_t kTraceBuffer = 1 << 16;

}  // namespace

PortTrace::PortTrace(std::FILE* file, bool owned, std::string name)
    : file_(file), owned_(owned), name_(std::move(name)) {
    std::setvbuf(file_, nullptr, _IOFBF, kTraceBuffer);
    std::fprintf(file_, "# %s %s port trace, format %d: seconds since the port was first opened; > sent, < received\n",
                 programName().c_str(), version(), kTraceFormat);
}

PortTrace::~PortTrace() {
    flush();
    if (owned_) std::fclose(file_);
}

void PortTrace::check() {
    if (failed_ || !std::ferror(file_)) return;
    failed_ = true;
    std::fprintf(stderr, "port trace %s could not be written whole: %s\n", name_.c_str(),
                 traceFileReason(errno ? errno : EIO).c_str());
}

// A test's virtual clock when one is attached, so that its traces repeat.
int64_t PortTrace::nowUs() const {
    if (seam::VirtualClock* vc = seam::attachedClock()) return vc->now() * 1000;
    return monotonicUs();
}

void PortTrace::markTime() { markedUs_ = nowUs(); }

void PortTrace::stamp(bool continuation) {
    if (continuation) {
        std::fputs("             ", file_);
        return;
    }
    int64_t now = markedUs_ >= 0 ? markedUs_ : nowUs();
    markedUs_ = -1;
    if (startUs_ < 0) startUs_ = now;
    const int64_t us = now - startUs_;
    std::fprintf(file_, "%4lld.%06lld  ", static_cast<long long>(us / 1000000), static_cast<long long>(us % 1000000));
}

void PortTrace::event(const std::string& words) {
    stamp(false);
    std::fprintf(file_, "%s\n", words.c_str());
    check();
}

void PortTrace::bytes(char direction, const uint8_t* data, size_t count, const std::string& note) {
    for (size_t at = 0; at < count || at == 0; at += kBytesPerLine) {
        stamp(at > 0);
        char hex[kBytesPerLine * 3 + 1] = {};
        char text[kBytesPerLine + 1] = {};
        const size_t n = count - at < kBytesPerLine ? count - at : kBytesPerLine;
        for (size_t i = 0; i < n; ++i) {
            const uint8_t b = data[at + i];
            std::snprintf(hex + 3 * i, 4, "%02x ", b);
            text[i] = b >= 0x20 && b < 0x7F ? char(b) : '.';
        }
        if (at == 0 && !note.empty())
            std::fprintf(file_, "%c %-48s %-16s  %s\n", direction, hex, text, note.c_str());
        else
            std::fprintf(file_, "%c %-48s %s\n", direction, hex, text);
        if (count == 0) break;
    }
    check();
}

bool PortTrace::flush() {
    errno = 0;
    std::fflush(file_);
    check();
    return !failed_;
}

namespace {

std::unique_ptr<PortTrace> g_trace;
bool g_traceRefused = false;

void closeTrace() { g_trace.reset(); }

// The end a replay must come to at the same point.
void noteEnd(int status, bool consoleLost) {
    if (g_trace)
        g_trace->event(std::string(consoleLost ? "console lost" : "interrupted") + ": the program ends with status " +
                       std::to_string(status));
}

}  // namespace

PortTrace* processTrace() {
    static bool tried = false;
    if (tried) return g_trace.get();
    tried = true;
    const char* path = std::getenv("BENCHCOM_TRACE");
    if (!path || !*path) return nullptr;
    int error = 0;
    std::FILE* file = openTraceFile(path, error);
    if (!file) {
        g_traceRefused = true;
        std::fprintf(stderr, "%s: cannot write the port trace %s: %s\n", programName().c_str(), path,
                     traceFileReason(error).c_str());
        return nullptr;
    }
    g_trace = std::make_unique<PortTrace>(file, true, path);
    std::atexit(closeTrace);
    onEndBySignal(noteEnd);
    return g_trace.get();
}

bool processTraceWhole() { return !g_traceRefused && (!g_trace || g_trace->flush()); }

std::string describeDcb(const DCB& d) {
    static const char parity[] = "NOEMS";
    static const char* const stop[] = {"1", "1.5", "2"};
    static const char* const dtr[] = {"DTR off", "DTR on", "DTR handshake", "DTR ?"};
    static const char* const rts[] = {"RTS off", "RTS on", "RTS handshake", "RTS toggle"};
    std::string s = std::to_string(d.BaudRate) + " baud " + std::to_string(unsigned(d.ByteSize)) +
                    (d.Parity < 5 ? parity[d.Parity] : '?') + (d.StopBits < 3 ? stop[d.StopBits] : "?");
    s += std::string(", ") + dtr[d.fDtrControl & 3] + ", " + rts[d.fRtsControl & 3];
    std::string flow;
    if (d.fOutxCtsFlow) flow += " CTS";
    if (d.fOutxDsrFlow) flow += " DSR";
    if (d.fOutX || d.fInX) flow += " XON/XOFF";
    return s + (flow.empty() ? ", no flow control" : ", flow control" + flow);
}

}  // namespace bc::ports
