// The run's time limit on Windows: a timer of the system's thread pool.
#include "platform/time_limit.h"

#include "platform/interrupt.h"
#include "platform/windows/kernel32.h"

namespace bc {

// The one thread sees it at its next wait or clock reading, as it sees a
// Ctrl-C that the console's handler thread noted.
void endRunAfter(long long ms) { k32::callAfter(ms < 0 ? 0 : ms, &noteTimeUp); }

}  // namespace bc
