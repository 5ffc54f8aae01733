#include "tools/session.h"

#include <cstdio>

#include "platform/interrupt.h"
#include "platform/seam.h"
#include "platform/terminal.h"
#include "ports/port_trace.h"
#include "scope/capture_file.h"
#include "serial/com_port.h"
#include "serial/short_replies.h"

namespace bc::run {

namespace {

// What bc::exit throws while the session takes the end back.
struct EndRequest {
    int status;
};

// Reads off whatever is still arriving: a reply to the exchange that Ctrl-C
// cut short would otherwise be read as the reply to the next one. A device
// that never stops talking is given up on after 64 KiB.
void drainPort() {
    unsigned char scratch[64];
    DWORD got = 0, total = 0;
    do {
        ReadFile(hPort, scratch, sizeof scratch, &got, nullptr);
        total += got;
    } while (got > 0 && total < 64 * 1024);
}

}  // namespace

Session::Session(bool takeEndsBack) : takeEndsBack_(takeEndsBack) {
    if (!takeEndsBack_) return;
    previousHook_ = seam::exitHook();
    seam::setExitHook([](int status) { throw EndRequest{status}; });
}

Session::~Session() {
    if (takeEndsBack_) seam::setExitHook(previousHook_);
}

int Session::guarded(const std::function<void()>& step) {
    if (!takeEndsBack_) {
        step();
        return kRanToEnd;
    }
    try {
        step();
        return kRanToEnd;
    } catch (const EndRequest& end) {
        captureCloseAbandoned();
        return end.status;
    }
}

int Session::openPort() {
    bool opened = false;
    const int ended = guarded([&] { opened = bc::openPort(9, 19200, 'N', '8') != nullptr; });
    if (ended != kRanToEnd) return ended;
    if (opened) return kRanToEnd;
    printf("Opening Port Failed");
    // The text keeps its missing line end; on a terminal that standard error
    // shares, what comes next (the shell's prompt) starts on a line of its own.
    fflush(stdout);
    if (sameTerminal(1, 2)) fputs("\n", stderr);
    return 1;
}

int Session::run(const Call& call) {
    const Args args = argsOf(call);
    const int ended = guarded([&] { call.routine->call(args); });
    collectShortReplies(call.routine->name);
    return ended;
}

int Session::takeNotedEnd() {
    return guarded([] { endIfStopped(); });
}

int Session::recoverFromInterrupt() {
    forgetInterrupt();
    // A capture that was cut short had held a lost console off.
    int ended = guarded([] { holdOffConsoleLoss(false); });
    if (ended != kRanToEnd) return ended;
    ended = guarded(drainPort);
    if (ended == kInterrupted) {  // a second Ctrl-C only cuts the draining short
        forgetInterrupt();
        ended = kRanToEnd;
    }
    return ended;
}

void Session::collectShortReplies(const char* routine) {
    const int n = shortReplyCount();
    if (n == 0) return;
    if (shortCount_ == 0) firstShort_ = std::string(routine) + ": " + firstShortReply();
    shortCount_ += n;
    anyShort_ = true;
    forgetShortReplies();
}

void Session::reportShortReplies() {
    if (shortCount_ == 0) return;
    fflush(stdout);
    fprintf(stderr, "benchcom-run: %d exchange%s without a whole reply, the first in %s\n", shortCount_,
            shortCount_ == 1 ? "" : "s", firstShort_.c_str());
    shortCount_ = 0;
    firstShort_.clear();
}

// A capture file or the trace not written whole has been named on standard
// error.
int Session::status() const { return captureFileFailed || !ports::processTraceWhole() ? 3 : anyShort_ ? 4 : 0; }

}  // namespace bc::run
