// The tool's own port, opened as the tool opens it (openPort with the main
// sequence's settings), on a chosen terminal.
#pragma once

#include <string>

namespace bc::bench {

bool openToolPort(const std::string& path);
void closeToolPort();

}  // namespace bc::bench
