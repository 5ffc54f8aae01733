// One routine with its arguments, as the command line, a script line or the
// shell gives it: checked when it is made, run later.
#pragma once

#include <string>
#include <vector>

#include "tools/routine_table.h"

namespace bc::run {

struct Call {
    const Routine* routine = nullptr;
    std::vector<std::string> words;  // the arguments after the routine's name
};

// The call that `words` (the routine's name first) make, its arguments
// checked. On error sets a one-line message: an unknown routine gets the
// nearest names, `extraNames` (the shell's own commands) among them.
bool makeCall(const std::vector<std::string>& words, Call& call, std::string& message,
              const std::vector<std::string>& extraNames = {});

// The call's arguments, for running it; they point into call.words, which
// must not change meanwhile.
Args argsOf(const Call& call);

// "unknown routine 'NAME'" with the nearest names, if any.
std::string unknownRoutine(const std::string& name, const std::vector<std::string>& extraNames = {});

}  // namespace bc::run
