// benchcom-run --script: routines one a line, read and checked whole before
// anything is opened.
#pragma once

#include <string>
#include <vector>

#include "tools/call.h"

namespace bc::run {

// The calls of the script `text`, every line checked. On the first bad line
// sets `message` to "NAME:LINE: what is wrong" and returns false.
bool parseScript(const std::string& name, const std::string& text, std::vector<Call>& calls, std::string& message);

// Reads the script from the file `path` ("-": standard input), then parses it.
bool loadScript(const std::string& path, std::vector<Call>& calls, std::string& message);

}  // namespace bc::run
