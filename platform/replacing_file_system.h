// What openReplacing needs of each system (posix/ and
// windows/replacing_file_system.cpp): the temporary file, and the rename.
#pragma once

#include <cstdio>
#include <string>

namespace bc {

// Decides as openReplacing says and opens the file: a temporary one beside
// `name` (its path in `temp`), or `name` itself (`temp` left empty). Null
// with an errno value in `error` when it cannot.
std::FILE* createReplacement(const char* name, std::string& temp, int& error);

// `name` itself opened as fopen "w+" opens it, emptied: for what is not
// replaced (a device, a FIFO, a file whose directory takes no new one).
// Null with errno's value in `error` when it cannot.
std::FILE* openInPlace(const char* name, int& error);

// A name to write the replacement of `name` under, beside it:
// DIR/.NAME.XXXXXX, where `base` is where NAME starts in `name` (past the
// last of the system's separators). The six characters come from `state`:
// no other run is likely to pick the same at the same moment, and the
// exclusive create makes sure.
std::string tempNameBeside(const char* name, const char* base, unsigned& state);

// Puts `temp` in place of `name`: 0, or an errno value.
int replaceWith(const std::string& temp, const char* name);

}  // namespace bc
