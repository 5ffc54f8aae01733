#pragma once

#include "platform/platform.h"

namespace bc {

// The modem-status word as the platform last wrote it; zero until the first
// query succeeds.
extern DWORD modemStatus;

// The fixed run of the tool: learn-string check, banner, open, close, open
// again, then the modem-control line exerciser. Arguments are ignored.
// Returns 0; ends the process with status 1 when the port cannot be opened.
int main(int argc, char** argv, char** envp);

// Sets break, RTS and DTR on hPort and prints the modem status before and
// after, 2000 times.
void modemLineTest();

}  // namespace bc
