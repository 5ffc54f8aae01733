#pragma once

#include <span>
#include <string>

#include "tools/routine_table.h"

namespace bc::run {

enum class IntParse { ok, notANumber, outOfRange };

// Parses one argument as a C integer literal within int range.
IntParse parseInt(const char* text, int& value);

// Fills `args` from the words after the routine's name (which must outlive
// `args`: texts point into them). On error sets a one-line message and
// returns false.
bool parseArgs(const Routine& routine, std::span<const char* const> words, Args& args, std::string& message);

}  // namespace bc::run
