// The tool's own port, opened as the tool opens it (openPort with the main
// sequence's settings), on a chosen terminal.
#pragma once

#include <string>

namespace bc::benchmarks {

bool openToolPort(const std::string& path);
void closeToolPort();

}  // namespace bc::benchmarks
