#include "simhost/host_terminal.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace bc::sim {

namespace {

// Set by the one thread, read by it and by its signal handlers: each fd is
// written before the flag that says it holds something.
termios g_saved;
int g_keysFd = -1;
volatile sig_atomic_t g_keysTaken = 0;
volatile sig_atomic_t g_regionFd = -1;
// "Reset the scroll region, go to the last line, a line end": what was drawn
// stays on the screen and the shell's prompt comes below it. Made when the
// region is set, for it to be written from a signal handler.
char g_resetRegion[32];
size_t g_resetLength = 0;

// A process moved to the background while it held the terminal may still
// put it back: SIGTTOU, which would stop it instead, is held off meanwhile.
class TtouHeldOff {
public:
    TtouHeldOff() {
        sigset_t ttou;
        sigemptyset(&ttou);
        sigaddset(&ttou, SIGTTOU);
        sigprocmask(SIG_BLOCK, &ttou, &before_);
    }
    ~TtouHeldOff() { sigprocmask(SIG_SETMASK, &before_, nullptr); }

private:
    sigset_t before_;
};

void registerAtExit() {
    static bool registered = false;
    if (!registered) registered = atexit(restoreTerminal) == 0;
}

}  // namespace

termios keyMode(const termios& before) {
    termios t = before;
    t.c_lflag &= ~tcflag_t(ICANON | ECHO);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return t;
}

bool takeTerminalKeys(int fd) {
    if (g_keysTaken || !isatty(fd) || tcgetpgrp(fd) != getpgrp()) return false;
    termios before;
    if (tcgetattr(fd, &before) != 0) return false;
    registerAtExit();
    g_saved = before;
    g_keysFd = fd;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    g_keysTaken = 1;
    const termios keys = keyMode(before);
    if (tcsetattr(fd, TCSANOW, &keys) == 0) return true;
    g_keysTaken = 0;
    return false;
}

bool terminalKeysTaken() { return g_keysTaken; }

void noteScrollRegion(int fd, int rows) {
    registerAtExit();
    // Not noted while the text changes, so that a handler never writes half
    // of it.
    g_regionFd = -1;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    const int n = snprintf(g_resetRegion, sizeof g_resetRegion, "\033[r\033[%d;1H\n", rows);
    g_resetLength = n > 0 && size_t(n) < sizeof g_resetRegion ? size_t(n) : 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    g_regionFd = fd;
}

void giveTerminalKeysBack() {
    if (!g_keysTaken) return;
    TtouHeldOff held;
    tcsetattr(g_keysFd, TCSANOW, &g_saved);
    g_keysTaken = 0;
}

void resetScrollRegion() {
    const int fd = g_regionFd;
    if (fd < 0) return;
    TtouHeldOff held;
    g_regionFd = -1;
    ssize_t ignored = write(fd, g_resetRegion, g_resetLength);
    (void)ignored;
}

void restoreTerminal() {
    giveTerminalKeysBack();
    resetScrollRegion();
}

}  // namespace bc::sim
