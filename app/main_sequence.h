// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#pragma once

#include "platform/win32_api.h"

namespace bc {

// The fixed run of the tool: learn-string check, banner, open, close, open
// again, then the modem-control line exerciser. Arguments are ignored.
// Returns 0; ends the process with status 1 when the port cannot be opened.
int main(int argc, char** argv, char** envp);

}  // namespace bc
