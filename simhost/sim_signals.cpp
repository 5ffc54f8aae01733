#include "simhost/sim_signals.h"

#include <signal.h>

#include <initializer_list>

#include "simhost/host_terminal.h"

namespace bc::sim {

namespace {

volatile sig_atomic_t g_end = 0;
volatile sig_atomic_t g_stop = 0;

void onEnd(int sig) { g_end = sig; }
void onStop(int) { g_stop = 1; }

void onQuit(int sig) {
    restoreTerminal();
    signal(sig, SIG_DFL);
    raise(sig);  // delivered as the handler returns, with its default action
}

void handle(int sig, void (*handler)(int)) {
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sigaction(sig, &sa, nullptr);
}

}  // namespace

void catchSimSignals() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) handle(sig, onEnd);
    handle(SIGTSTP, onStop);
    handle(SIGQUIT, onQuit);
}

int endSignal() { return g_end; }

bool stopAsked() {
    const bool asked = g_stop;
    g_stop = 0;
    return asked;
}

void stopHere() {
    restoreTerminal();
    handle(SIGTSTP, SIG_DFL);
    raise(SIGTSTP);
    handle(SIGTSTP, onStop);
}

}  // namespace bc::sim
