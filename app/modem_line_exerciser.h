// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#pragma once

#include "platform/win32_api.h"

namespace bc {

// The modem-status word as the platform last wrote it; zero until the first
// query succeeds.
extern DWORD modemStatus;

// Sets break, RTS and DTR on hPort and prints the modem status before and
// after, 2000 times.
void modemLineTest();

}  // namespace bc
