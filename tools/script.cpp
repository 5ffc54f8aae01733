#include "tools/script.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "tools/words.h"

namespace bc::run {

namespace {

// The shell's own commands mean nothing in a script.
bool isShellCommand(const std::string& word) { return word == "help" || word == "ports" || word == "quit"; }

bool readAll(FILE* in, std::string& text) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, n);
    return !ferror(in);
}

}  // namespace

bool parseScript(const std::string& name, const std::string& text, std::vector<Call>& calls, std::string& message) {
    std::istringstream lines(text);
    std::string line, what;
    std::vector<std::string> words;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();  // a script written on Windows
        Call call;
        bool ok = splitWords(line, words, what);
        if (ok && words.empty()) continue;
        if (ok && isShellCommand(words[0])) {
            what = words[0] + " is a command of the shell, not a routine";
            ok = false;
        }
        if (ok) ok = makeCall(words, call, what);
        if (!ok) {
            message = name + ":" + std::to_string(number) + ": " + what;
            return false;
        }
        calls.push_back(std::move(call));
    }
    return true;
}

bool loadScript(const std::string& path, std::vector<Call>& calls, std::string& message) {
    std::string text;
    const bool fromInput = path == "-";
    FILE* in = fromInput ? stdin : fopen(path.c_str(), "rb");
    bool read = in && readAll(in, text);
    const int error = errno;
    if (in && !fromInput) fclose(in);
    if (!read) {
        message = "cannot read the script " + path + ": " + strerror(error);
        return false;
    }
    return parseScript(fromInput ? "standard input" : path, text, calls, message);
}

}  // namespace bc::run
