// The shell's lines on Windows: the console edits the line and keeps its
// history (the arrow keys, F7) as it does for every console program.
#include "tools/line_reader.h"

#include <cstdio>

#include "platform/interrupt.h"

namespace bc::run {

LineReader::LineReader(bool terminal) : terminal_(terminal) {}

LineReader::~LineReader() = default;

// Ctrl-C at the prompt ends the console's read of the line: the line that
// comes back is not taken, and the shell leaves.
bool LineReader::read(const char* prompt, std::string& line) {
    if (terminal_) fputs(prompt, stdout);
    fflush(stdout);
    line.clear();
    char piece[1024];
    while (fgets(piece, sizeof piece, stdin)) {
        line += piece;
        if (!line.empty() && line.back() == '\n') break;
    }
    const bool got = !line.empty();
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return got && !stopNoted();
}

void LineReader::remember(const std::string&) {}

}  // namespace bc::run
