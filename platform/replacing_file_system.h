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

// Puts `temp` in place of `name`: 0, or an errno value.
int replaceWith(const std::string& temp, const char* name);

}  // namespace bc
