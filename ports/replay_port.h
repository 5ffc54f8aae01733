// BENCHCOM_PORT=replay:FILE and replay-fast:FILE: a BENCHCOM_TRACE recording
// played back as the devices' side of the line. Every call the program makes
// is compared, in order, with the one the recording has there; each is
// given the result the recording shows, at the recording's pace (or at once,
// on a virtual clock, for replay-fast). At the first difference the program
// is told on standard error where, and ends as at Ctrl-C with status 5.
#pragma once

#include <memory>
#include <string>

#include "platform/seam.h"
#include "ports/open_error.h"
#include "ports/port.h"
#include "ports/trace_reader.h"

namespace bc::ports {

// The exit status of a program that did something its recording does not.
constexpr int kReplayDiverged = 5;

// One recording being played back, across all the opens of a process.
class Replay {
public:
    // `name` is the trace's file as the person gave it, for the messages.
    Replay(std::string name, Trace trace, bool fast);
    ~Replay();
    // Its ports and the seam hold on to it.
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

    // The port for the program's next open, or null with the failure the
    // recording's open met.
    std::unique_ptr<Port> open(OpenError& error);

    // ---- for the port ----
    // The entry the program's call must match, served: waited for as the
    // recording waited, or the program ends there with status 5. `did` is
    // what the program did, in words for the message.
    const TraceEntry& serve(CallKind kind, const std::string& words, const uint8_t* bytes, size_t count,
                            const std::string& did);
    bool nextIs(CallKind kind, const std::string& words) const;
    // The port's release: the recording's close, or at the end of a
    // program that was interrupted, whatever the recording has left.
    void release();

private:
    const TraceEntry* next() const { return next_ < trace_.entries.size() ? &trace_.entries[next_] : nullptr; }
    bool matches(const TraceEntry& e, CallKind kind, const std::string& words, const uint8_t* bytes,
                 size_t count) const;
    // The recording's time `us`, in this run, as counted from the last write.
    int64_t replayTimeOf(int64_t us) const;
    int64_t nowUs() const;
    void waitUntil(int64_t us);
    void armEnd();
    [[noreturn]] void diverge(int line, const std::string& recording, const std::string& did, bool releasing);
    // Ends the process from a release, which may come while it exits.
    [[noreturn]] void endAtOnce(int status);

    std::string name_;
    Trace trace_;
    bool fast_;
    size_t next_ = 0;
    // The last write (or open): when it was at the recording and in this run.
    int64_t anchorRecordedUs_ = 0, anchorUs_ = 0;
    bool diverged_ = false;
    seam::VirtualClock clock_;
};

// The one replay of the process, read from `file` at its first open; a
// trace that cannot be read fails every open as loadTrace says.
std::unique_ptr<Port> openReplayPort(const std::string& file, bool fast, OpenError& error);

// Reads the trace in `file`: 0, or ERROR_FILE_NOT_FOUND for a file that
// cannot be read, ERROR_INVALID_DATA for one that is no trace, with the
// reason, naming the line.
DWORD loadTrace(const std::string& file, Trace& trace, std::string& reason);

}  // namespace bc::ports
