#pragma once

#include <cstddef>

#include "tools/routine_table.h"

namespace bc::run {

// Parses one command-line argument as a C integer literal within int range.
bool parseInt(const char* text, int& value);

// Fills `args` from the command-line arguments after the routine's name.
// On error writes a one-line message and returns false.
bool parseArgs(const Routine& routine, int argc, char** argv, Args& args, char* message, size_t messageSize);

}  // namespace bc::run
