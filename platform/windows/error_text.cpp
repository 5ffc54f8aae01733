#include "platform/error_text.h"

#include "platform/windows/kernel32.h"

namespace bc {

// On Windows every code is the system's own, and so are its words.
std::string errorText(DWORD code) { return k32::errorText(code); }
void forgetSystemReason() {}

}  // namespace bc
