// The shell's lines on Linux: GNU readline on a terminal.
#include "tools/line_reader.h"

#include <readline/history.h>
#include <readline/readline.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <vector>

#include "platform/interrupt.h"
#include "tools/completion.h"

namespace bc::run {

namespace {

constexpr int kHistoryLines = 1000;

std::string historyPath() {
    const char* home = std::getenv("HOME");
    return home && *home ? std::string(home) + "/.benchcom_run_history" : std::string();
}

// Readline's own signal handling is off: Ctrl-C is noted by the tool's
// handler, as during a routine, and a key read that it interrupts ends the
// line, so that Ctrl-C at the prompt leaves.
int readKey(FILE* in) {
    for (;;) {
        if (stopNoted()) return EOF;
        unsigned char c;
        const ssize_t n = ::read(fileno(in), &c, 1);
        if (n == 1) return c;
        if (n == 0 || errno != EINTR) return EOF;
    }
}

std::vector<std::string> g_candidates;

char* nextCandidate(const char*, int state) {
    static size_t next;
    if (state == 0) next = 0;
    return next < g_candidates.size() ? strdup(g_candidates[next++].c_str()) : nullptr;
}

// The words before the one being completed, as a script line reads them.
std::vector<std::string> wordsBefore(int start) {
    std::istringstream line(std::string(rl_line_buffer, size_t(start)));
    std::vector<std::string> words;
    for (std::string w; line >> w;) words.push_back(w);
    return words;
}

char** complete(const char* text, int start, int) {
    rl_attempted_completion_over = 1;  // never file names
    const Completion c = completeWord(wordsBefore(start), text);
    if (c.candidates.empty() && !c.hint.empty()) {
        fprintf(rl_outstream, "\n  %s\n", c.hint.c_str());
        rl_on_new_line();
        return nullptr;
    }
    g_candidates = c.candidates;
    return rl_completion_matches(text, nextCandidate);
}

}  // namespace

LineReader::LineReader(bool terminal) : terminal_(terminal) {
    if (!terminal_) return;
    rl_readline_name = "benchcom-run";
    rl_catch_signals = 0;
    rl_getc_function = readKey;
    rl_attempted_completion_function = complete;
    // With the routines' output going to a file, the prompt and the typing
    // stay on the terminal.
    if (!isatty(1) && isatty(2)) rl_outstream = stderr;
    using_history();
    const std::string path = historyPath();
    if (!path.empty()) read_history(path.c_str());
}

LineReader::~LineReader() {
    if (!terminal_) return;
    const std::string path = historyPath();
    if (path.empty()) return;
    write_history(path.c_str());
    history_truncate_file(path.c_str(), kHistoryLines);
}

bool LineReader::read(const char* prompt, std::string& line) {
    fflush(stdout);
    if (!terminal_) {
        if (!std::getline(std::cin, line)) return false;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return !stopNoted();
    }
    char* got = readline(prompt);
    if (!got) return false;
    line = got;
    std::free(got);
    return !stopNoted();
}

void LineReader::remember(const std::string& line) {
    if (terminal_) add_history(line.c_str());
}

}  // namespace bc::run
