// The replay: the recording's calls one after the other, each compared with
// the program's and given back its result.
//
// The pace: a recording's time stamps are counted from its last write (or
// open), and so are a replay's. A read ends, with the bytes that read got at
// the bench, as long after the write before it as it ended there: a reply
// that came at once comes at once, a read that timed out short at the bench
// times out short again, after as long. The other calls end when they ended
// at the bench, or at once when the program comes to them later than that.
// replay-fast does the same on a virtual clock that the program's own waits
// (clock, _sleep, delayMs) move too, so no wait takes any time.
#include "ports/replay_port.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/interrupt.h"
#include "platform/monotonic.h"
#include "platform/runtime.h"
#include "ports/port_trace.h"
#include "ports/trace_words.h"

namespace bc::ports {

namespace {

constexpr size_t kShownBytes = 24;
constexpr int64_t kSliceUs = 20000;  // a real wait looks for Ctrl-C this often

// Set when an interrupt or a lost console is ending the process: its port
// is then released with the recording unfinished, which is no difference.
bool g_endingBySignal = false;
void noteEndingBySignal(int, bool) { g_endingBySignal = true; }

// "5a 03", or a window of a long run of bytes around where two differ.
std::string hexWords(const uint8_t* bytes, size_t count, size_t from) {
    std::string s = from ? "... " : "";
    char hex[4];
    for (size_t i = from; i < count && i < from + kShownBytes; ++i) {
        std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
        s += (i > from ? " " : "") + std::string(hex);
    }
    if (from + kShownBytes < count) s += " ...";
    if (count > kShownBytes) s += " (" + std::to_string(count) + " bytes)";
    return s;
}

// Where a long run of bytes is shown from: a little before the first byte
// that differs, so that the difference is in the message.
size_t shownFrom(const std::vector<uint8_t>& recorded, const uint8_t* bytes, size_t count) {
    size_t d = 0;
    while (d < recorded.size() && d < count && recorded[d] == bytes[d]) ++d;
    return d >= kShownBytes ? d - kShownBytes / 3 : 0;
}

std::string recordingDoes(const TraceEntry& e, size_t from) {
    switch (e.kind) {
    case CallKind::open: return "opens the port";
    case CallKind::close: return "closes the port";
    case CallKind::write: return "sends " + hexWords(e.bytes.data(), e.bytes.size(), from);
    case CallKind::ended:
        return std::string(e.consoleLost ? "lost its console" : "was interrupted") + " there (status " +
               std::to_string(e.status) + ")";
    default: return "calls " + e.words;
    }
}

class ReplayPort final : public Port {
public:
    explicit ReplayPort(Replay& replay) : replay_(replay) {}

    DWORD setupComm(DWORD in, DWORD out) override {
        return call(CallKind::setupComm, "SetupComm in " + std::to_string(in) + ", out " + std::to_string(out)).error;
    }
    DWORD getState(DCB& dcb) override {
        const TraceEntry& e = call(CallKind::getState, "GetCommState");
        if (!e.error) dcb = e.dcb;
        return e.error;
    }
    DWORD setState(const DCB& dcb) override {
        return call(CallKind::setState, "SetCommState " + describeDcb(dcb)).error;
    }
    DWORD setTimeouts(const COMMTIMEOUTS& t) override {
        const TraceEntry& e = call(CallKind::setTimeouts, "SetCommTimeouts " + timeoutWords(t));
        if (!e.error) timeouts = t;
        return e.error;
    }
    DWORD escape(DWORD func) override {
        return call(CallKind::escape, "EscapeCommFunction " + escapeWords(func)).error;
    }
    DWORD modemStatus(DWORD& status) override {
        const TraceEntry& e = call(CallKind::modemStatus, "GetCommModemStatus");
        if (!e.error) status = e.status;
        return e.error;
    }
    DWORD purge(DWORD flags) override { return call(CallKind::purge, "PurgeComm" + purgeWords(flags)).error; }

    DWORD write(const uint8_t* bytes, DWORD count, DWORD& written) override {
        const TraceEntry& e = replay_.serve(CallKind::write, "", bytes, count, "sent " + hexWords(bytes, count, 0));
        written = e.done;
        return e.error;
    }

    DWORD read(uint8_t* into, DWORD count, DWORD& got) override {
        got = 0;
        // A read of nothing is in a trace only when it failed.
        if (count == 0 && !replay_.nextIs(CallKind::read, "ReadFile of 0 bytes")) return ERROR_SUCCESS;
        const TraceEntry& e = call(CallKind::read, "ReadFile of " + std::to_string(count) + " bytes");
        // The reader made sure a read's bytes are no more than it asked for.
        for (DWORD i = 0; i < e.done; ++i) into[i] = e.bytes[i];
        got = e.done;
        return e.error;
    }

    void release() override {
        if (released_) return;
        released_ = true;
        replay_.release();
    }

private:
    const TraceEntry& call(CallKind kind, const std::string& words) {
        return replay_.serve(kind, words, nullptr, 0, "called " + words);
    }

    Replay& replay_;
    bool released_ = false;
};

}  // namespace

Replay::Replay(std::string name, Trace trace, bool fast)
    : name_(std::move(name)), trace_(std::move(trace)), fast_(fast) {
    onEndBySignal(noteEndingBySignal);
}

// The clock it attached is not left behind for whatever reads the clock
// after it (a replay of the process lives until the static objects go).
Replay::~Replay() {
    if (seam::attachedClock() == &clock_) seam::attachClock(nullptr);
}

int64_t Replay::nowUs() const {
    if (seam::VirtualClock* vc = seam::attachedClock()) return vc->now() * 1000;
    return monotonicUs();
}

int64_t Replay::replayTimeOf(int64_t us) const {
    return anchorUs_ + (us > anchorRecordedUs_ ? us - anchorRecordedUs_ : 0);
}

void Replay::waitUntil(int64_t us) {
    if (seam::VirtualClock* vc = seam::attachedClock()) {
        vc->advanceTo((us + 999) / 1000);
    } else {
        for (int64_t now = monotonicUs(); now < us; now = monotonicUs()) {
            std::this_thread::sleep_for(std::chrono::microseconds(us - now < kSliceUs ? us - now : kSliceUs));
            endIfInterrupted();
        }
    }
    endIfInterrupted();
}

// A recording that ends with Ctrl-C or a lost console ends its replay the
// same way, at the same time after the last call.
void Replay::armEnd() {
    const TraceEntry* e = next();
    if (e && e->kind == CallKind::ended) noteInterruptAt(replayTimeOf(e->us), int(e->status) - 128, e->consoleLost);
}

bool Replay::nextIs(CallKind kind, const std::string& words) const {
    const TraceEntry* e = next();
    return e && e->kind == kind && e->words == words;
}

bool Replay::matches(const TraceEntry& e, CallKind kind, const std::string& words, const uint8_t* bytes,
                     size_t count) const {
    if (e.kind != kind) return false;
    if (kind != CallKind::write) return e.words == words;
    if (e.bytes.size() != count) return false;
    for (size_t i = 0; i < count; ++i)
        if (e.bytes[i] != bytes[i]) return false;
    return true;
}

const TraceEntry& Replay::serve(CallKind kind, const std::string& words, const uint8_t* bytes, size_t count,
                                const std::string& did) {
    const TraceEntry* e = next();
    if (e && e->kind == CallKind::ended) {
        // The recording was interrupted in this call, or in the waits before it.
        waitUntil(replayTimeOf(e->us));
        diverge(e->line, recordingDoes(*e, 0), did, false);
    }
    if (!e) diverge(trace_.lines + 1, "has ended there", did, false);
    if (!matches(*e, kind, words, bytes, count)) {
        const size_t from =
            kind == CallKind::write && e->kind == CallKind::write ? shownFrom(e->bytes, bytes, count) : 0;
        const std::string program = from ? "sent " + hexWords(bytes, count, from) : did;
        diverge(e->line, recordingDoes(*e, from), program, false);
    }
    ++next_;
    if (kind == CallKind::write) {
        anchorRecordedUs_ = e->us;
        anchorUs_ = nowUs();
    } else {
        waitUntil(replayTimeOf(e->us));
    }
    if (kind == CallKind::open) {
        anchorRecordedUs_ = e->us;
        anchorUs_ = nowUs();
    }
    armEnd();
    return *e;
}

void Replay::release() {
    if (diverged_) return;
    const TraceEntry* e = next();
    if (e && e->kind == CallKind::ended) {
        ++next_;
        if (next() && next()->kind == CallKind::close) ++next_;
        // The program came to its end (or its close) before the recorded
        // Ctrl-C or lost console: at the bench that end came first, so it
        // comes now, with its status.
        if (!g_endingBySignal) endAtOnce(int(e->status));
        return;
    }
    if (g_endingBySignal) {
        // Interrupted by the person watching the replay: the rest of the
        // recording is not the program's to match.
        if (e && e->kind == CallKind::close) ++next_;
        return;
    }
    if (!e) diverge(trace_.lines + 1, "has ended there", "closed the port", true);
    if (e->kind != CallKind::close) diverge(e->line, recordingDoes(*e, 0), "closed the port", true);
    ++next_;
    anchorRecordedUs_ = e->us;
    anchorUs_ = nowUs();
    armEnd();
}

std::unique_ptr<Port> Replay::open(OpenError& error) {
    if (fast_ && !seam::attachedClock()) {
        // The clock goes on from where the real one was, never back.
        clock_.advanceTo(int64_t(bc::clock()));
        seam::attachClock(&clock_);
    }
    const TraceEntry& e = serve(CallKind::open, "open", nullptr, 0, "opened the port");
    if (e.error) {
        error = {e.error, "the recording's open failed: " + e.reason};
        return nullptr;
    }
    return std::make_unique<ReplayPort>(*this);
}

// Ends the program as Ctrl-C would, with status 5, after one line on
// standard error. A port released at the program's own end is released
// while it exits, where exit may not be called again: the streams are
// flushed (capture files, the trace) and the process ends at once.
void Replay::diverge(int line, const std::string& recording, const std::string& did, bool releasing) {
    diverged_ = true;
    std::fflush(stdout);
    std::fprintf(stderr, "replay of %s diverged at line %d: the recording %s, the program %s\n", name_.c_str(), line,
                 recording.c_str(), did.c_str());
    std::fflush(stderr);
    if (!releasing) bc::exit(kReplayDiverged);
    endAtOnce(kReplayDiverged);
}

void Replay::endAtOnce(int status) {
    diverged_ = true;
    if (const auto& hook = seam::exitHook()) hook(status);
    std::fflush(nullptr);
    std::_Exit(status);
}

DWORD loadTrace(const std::string& file, Trace& trace, std::string& reason) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    if (in) text << in.rdbuf();
    if (!in) {
        reason = "the trace " + file + " cannot be read: " + std::strerror(errno);
        return ERROR_FILE_NOT_FOUND;
    }
    int line = 0;
    std::string problem;
    if (readTrace(text.str(), trace, line, problem)) return ERROR_SUCCESS;
    reason = "the trace " + file + " cannot be replayed: line " + std::to_string(line) + ": " + problem;
    return ERROR_INVALID_DATA;
}

std::unique_ptr<Port> openReplayPort(const std::string& file, bool fast, OpenError& error) {
    static std::unique_ptr<Replay> replay;
    static OpenError failure;
    if (!replay && !failure.code) {
        Trace trace;
        failure.code = loadTrace(file, trace, failure.reason);
        if (!failure.code) replay = std::make_unique<Replay>(file, std::move(trace), fast);
    }
    if (!replay) {
        error = failure;
        return nullptr;
    }
    return replay->open(error);
}

}  // namespace bc::ports
