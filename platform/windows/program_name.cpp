#include "platform/program_name.h"

#include "platform/windows/kernel32.h"

namespace bc {

std::string programName() { return k32::programName(); }

}  // namespace bc
