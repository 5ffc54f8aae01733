// A time limit for a whole run (benchcom-run --for): when it has passed, the
// run is ended as Ctrl-C would end it, at its next wait, but with status 0.
// The system's own timer notes it (a signal on POSIX, a timer thread on
// Windows), so that a wait under way learns of it as it learns of Ctrl-C.
#pragma once

namespace bc {

// Notes the time as up (noteTimeUp) once `ms` milliseconds have passed.
// Called once, at the start of a run.
void endRunAfter(long long ms);

}  // namespace bc
