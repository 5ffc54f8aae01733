#pragma once

#include <string>

namespace bc {

// The name of the running program, for the messages it writes on standard
// error ("benchcom-run").
std::string programName();

}  // namespace bc
