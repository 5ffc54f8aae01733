#include "platform/terminal.h"

#include "platform/windows/kernel32.h"

namespace bc {

bool isTerminal(int stream) { return k32::isConsole(stream); }

// A process has at most one console: two streams that are consoles are it.
bool sameTerminal(int a, int b) { return isTerminal(a) && isTerminal(b); }

}  // namespace bc
