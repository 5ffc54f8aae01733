// A trace is untrusted input: whatever a file holds, the trace reader reads
// it or refuses it naming a line that is in the file, and a trace it reads
// replays. A program that makes the recorded calls is given the recorded
// results (never more bytes than it asked for) and never told it differs;
// one call past the recording's end is, with status 5.
//
// Input: the text of a trace. The reader is fed it as it is, and again
// behind a well-formed first line, so that the fuzzer's time goes to the
// lines after it.
#include <algorithm>
#include <cstdio>
#include <string>

#include "fuzz/fuzz_support.h"
#include "ports/port_trace.h"
#include "ports/replay_port.h"
#include "ports/trace_words.h"
#include "testkit/seam_harness.h"

namespace {

using bc::fuzz::expect;
using namespace bc::ports;

const char kHeader[] =
    "# benchcom-run 0.2.0 port trace, format 1: seconds since the port was first opened; > sent, < received\n";

void expectSound(const Trace& t) {
    int last = 1;
    for (const TraceEntry& e : t.entries) {
        expect(e.line > last && e.line <= t.lines, "entries come in the order of their lines, within the file");
        last = e.line;
        if (e.kind == CallKind::read) expect(e.done <= e.count && e.bytes.size() == e.done, "a read took what it got");
        if (e.kind == CallKind::write)
            expect(e.done <= e.count && e.bytes.size() == e.count, "a write sent what it was given");
        if (e.kind == CallKind::ended) expect(e.status > 128 && e.status <= 255, "a signal's exit status");
    }
}

// The call the entry records, made as the program made it; false for a
// call whose arguments this program does not take back out of the words.
bool makeCall(Replay& replay, std::unique_ptr<Port>& port, const TraceEntry& e) {
    if (e.kind == CallKind::open) {
        OpenError error;
        port = replay.open(error);
        expect((port == nullptr) == (e.error != 0), "an open fails as the recording's did");
        expect(error.code == e.error, "and with its code");
        return true;
    }
    if (!port) return false;
    DWORD got = 0;
    DCB dcb{};
    unsigned in = 0, out = 0;
    switch (e.kind) {
    case CallKind::write:
        expect(port->write(e.bytes.data(), DWORD(e.bytes.size()), got) == e.error, "a write's result");
        expect(got == e.done, "a write's count");
        return true;
    case CallKind::read: {
        std::string into(e.count, '\0');
        const DWORD error = port->read(reinterpret_cast<uint8_t*>(into.data()), e.count, got);
        expect(error == e.error && got == e.done, "a read's result and count");
        expect(into.compare(0, got, std::string(e.bytes.begin(), e.bytes.end())) == 0, "a read's bytes");
        return true;
    }
    case CallKind::getState: expect(port->getState(dcb) == e.error, "GetCommState's result"); return true;
    case CallKind::setState:
        if (!readDcbWords(e.words.substr(13), dcb)) return false;
        expect(port->setState(dcb) == e.error, "SetCommState's result");
        return true;
    case CallKind::modemStatus:
        expect(port->modemStatus(got) == e.error, "GetCommModemStatus's result");
        expect(e.error || got == e.status, "the modem status");
        return true;
    case CallKind::setupComm:
        if (std::sscanf(e.words.c_str(), "SetupComm in %u, out %u", &in, &out) != 2) return false;
        expect(port->setupComm(in, out) == e.error, "SetupComm's result");
        return true;
    case CallKind::escape:
        for (DWORD f = 0; f < 16; ++f)
            if (e.words == "EscapeCommFunction " + escapeWords(f)) {
                expect(port->escape(f) == e.error, "EscapeCommFunction's result");
                return true;
            }
        return false;
    case CallKind::close:
        port->release();
        port.reset();
        return true;
    default: return false;
    }
}

// Plays the recording back with the calls it records, in virtual time.
void replayFaithfully(Trace t) {
    // A recorded Ctrl-C would end the fuzzer itself: left out.
    std::erase_if(t.entries, [](const TraceEntry& e) { return e.kind == CallKind::ended; });
    bc::sim::SeamHarness bench;
    const size_t count = t.entries.size();
    std::vector<TraceEntry> entries = t.entries;
    Replay replay("fuzz.trace", std::move(t), true);
    std::unique_ptr<Port> port;
    size_t made = 0;
    try {
        while (made < count && makeCall(replay, port, entries[made])) ++made;
    } catch (const bc::sim::ProcessExit&) {
        expect(false, "a program that makes the recorded calls is never told it differs");
    }
    if (made < count || !port) return;
    // All of it made, and then one write more.
    int status = -1;
    try {
        DWORD n = 0;
        const uint8_t frame[2] = {0x5A, 0x01};
        port->write(frame, 2, n);
    } catch (const bc::sim::ProcessExit& e) {
        status = e.status;
    }
    expect(status == kReplayDiverged, "a call past the recording's end ends the program with 5");
}

void readAndReplay(const std::string& text) {
    Trace t;
    int line = -1;
    std::string problem;
    if (!readTrace(text, t, line, problem)) {
        const size_t lines = std::count(text.begin(), text.end(), '\n') + 1;
        expect(line >= 1 && size_t(line) <= lines, "a refusal names a line of the file");
        expect(!problem.empty(), "and says what is wrong");
        return;
    }
    expectSound(t);
    replayFaithfully(std::move(t));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    bc::fuzz::startUp(argc, argv, {"-max_len=4096"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    bc::fuzz::QuietStderr quiet;
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    readAndReplay(text);
    readAndReplay(kHeader + text);
    return 0;
}
