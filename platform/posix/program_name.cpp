#include "platform/program_name.h"

#include <cerrno>

namespace bc {

std::string programName() { return program_invocation_short_name; }

}  // namespace bc
