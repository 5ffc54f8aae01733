// The lines of benchcom-run's shell. From a terminal they are edited as the
// system's own line editors do (Linux: GNU readline, with a history kept in
// ~/.benchcom_run_history and Tab completing routine names; Windows: the
// console's own editing and history); from a pipe or a file they are read as
// they come, without a prompt.
#pragma once

#include <string>

namespace bc::run {

class LineReader {
public:
    // `terminal`: standard input is a terminal a person types at.
    explicit LineReader(bool terminal);
    ~LineReader();  // keeps the history
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line, without its line end. False at the end of the input,
    // and when Ctrl-C (or another end: bc::stopNoted) came while waiting.
    bool read(const char* prompt, std::string& line);

    // Adds a line to the history.
    void remember(const std::string& line);

private:
    bool terminal_;
};

}  // namespace bc::run
