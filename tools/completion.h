// What Tab offers in benchcom-run's shell.
#pragma once

#include <string>
#include <vector>

namespace bc::run {

// The shell's own commands, offered with the routines.
const std::vector<std::string>& shellCommands();

struct Completion {
    std::vector<std::string> candidates;  // words that complete the one being typed
    std::string hint;                     // else what the routine takes, e.g. "sendMAX2719xyz x y z"
};

// For the word being typed, `partial`, after the words `before` it on the
// line: a routine's or command's name first, then the arguments that have
// names to offer (a register sequence, a channel, the routine for help), or
// for any other argument the routine's arguments as a hint.
Completion completeWord(const std::vector<std::string>& before, const std::string& partial);

}  // namespace bc::run
