// Routines run one after another on one open port: benchcom-run's single
// routine, its scripts and its shell. The session opens the port once, runs
// each call, keeps count of the exchanges that got no whole reply, and gives
// the run's exit status.
//
// Where a run must go on after the end of a routine (the shell after Ctrl-C)
// or end in its own way (--for), the session takes the process's end back:
// bc::exit, which Ctrl-C, the time limit and a lost console reach at the
// routine's next wait, unwinds to the session instead of ending the process.
// The session then closes the capture files the routine left open, as the
// end of the process would, and says how the routine ended.
#pragma once

#include <functional>
#include <string>

#include "tools/call.h"

namespace bc::run {

// What run() and the others return when the routine ran to its end; any
// other value is the status the end of the process was asked with.
constexpr int kRanToEnd = -1;
// Ctrl-C's status.
constexpr int kInterrupted = 130;
// The status of the time limit (--for) when it ends a routine.
constexpr int kTimeUp = 0;

class Session {
public:
    // `takeEndsBack`: unwind to the session on bc::exit (see above).
    explicit Session(bool takeEndsBack);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Opens the port as a routine alone would (its connect line). Returns
    // kRanToEnd when it is open; 1 when it could not be, after "Opening Port
    // Failed"; or the status of an end that came meanwhile.
    int openPort();

    // Runs the call; kRanToEnd, or the status of the end that stopped it.
    int run(const Call& call);

    // The end noted while the program waited on its own (at the shell's
    // prompt): its status, or kRanToEnd when none was.
    int takeNotedEnd();

    // After Ctrl-C ended a routine: the interrupt forgotten, the receive
    // queue emptied of a reply that was still on its way, so that the next
    // routine starts clean. kRanToEnd, or the status of an end that came.
    int recoverFromInterrupt();

    // One line on standard error for the exchanges without a whole reply
    // since the last report, naming the first; nothing when there were none.
    void reportShortReplies();

    // 3 when a capture file was not written whole, else 4 when an exchange
    // got no whole reply, else 0.
    int status() const;

private:
    int guarded(const std::function<void()>& step);
    void collectShortReplies(const char* routine);

    bool takeEndsBack_;
    std::function<void(int)> previousHook_;
    int shortCount_ = 0;      // since the last report
    std::string firstShort_;  // the first of them, with its routine
    bool anyShort_ = false;   // in the whole run
};

}  // namespace bc::run
