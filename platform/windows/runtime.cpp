// The real sleep on Windows.
#include "platform/runtime.h"

#include "platform/windows/kernel32.h"

namespace bc {

void sleepRealMs(unsigned long ms) { k32::sleepMs(ms); }

}  // namespace bc
