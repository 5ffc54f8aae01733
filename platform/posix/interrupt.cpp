// The clean end on Ctrl-C or a lost console, as POSIX signals bring them.
#include "platform/interrupt.h"

#include <signal.h>

namespace bc {

namespace {

void onInterrupt(int sig) { noteInterrupt(sig); }
void onConsoleLost(int sig) { noteConsoleLost(sig); }

void catchSignal(int sig, void (*handler)(int)) {
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no SA_RESTART: a blocked poll or sleep must wake up
    sigaction(sig, &sa, nullptr);
}

}  // namespace

// A closed pipe or a hung-up terminal comes as a signal here.
void endIfStopped() { endIfInterrupted(); }

// The endless routines run until the user presses Ctrl-C. Catching the signal
// and ending through exit() flushes standard output, closes capture files and
// releases the port's exclusive lock, which a plain kill would leave set on a
// pseudo-terminal.
//
// A closed pipe (SIGPIPE) or a hung-up terminal (SIGHUP) ends the process the
// same way, but only where no capture is under way: the write that found the
// console gone fails instead, its line is dropped, and the capture goes on to
// complete its files. SIGXFSZ is ignored so that a write past the file-size
// limit fails with EFBIG, which the capture says, instead of killing the tool
// with its files cut short.
void endCleanlyOnInterrupt() {
    catchSignal(SIGINT, onInterrupt);
    catchSignal(SIGTERM, onInterrupt);
    catchSignal(SIGPIPE, onConsoleLost);
    catchSignal(SIGHUP, onConsoleLost);
    signal(SIGXFSZ, SIG_IGN);
}

}  // namespace bc
