// The run's time limit on POSIX: SIGALRM from an interval timer.
#include "platform/time_limit.h"

#include <signal.h>
#include <sys/time.h>

#include "platform/interrupt.h"

namespace bc {

namespace {

void onAlarm(int) { noteTimeUp(); }

}  // namespace

// Caught without SA_RESTART, as Ctrl-C is: a wait for the port or a sleep
// under way wakes and sees that the time is up.
void endRunAfter(long long ms) {
    struct sigaction sa {};
    sa.sa_handler = onAlarm;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;
    sigaction(SIGALRM, &sa, nullptr);
    itimerval timer{};
    timer.it_value.tv_sec = time_t(ms / 1000);
    timer.it_value.tv_usec = suseconds_t(ms % 1000) * 1000;
    if (ms <= 0) timer.it_value.tv_usec = 1;  // an interval of zero would disarm the timer
    setitimer(ITIMER_REAL, &timer, nullptr);
}

}  // namespace bc
