// benchcom-run's command line: the options that come before what it runs.
#pragma once

#include <string>
#include <vector>

namespace bc::run {

struct Options {
    enum class Mode { routine, script, shell, help, version, listPorts };
    Mode mode = Mode::routine;
    std::string dir;       // -C DIR: where to run; empty: here
    long long forMs = -1;  // --for SECONDS, in milliseconds; -1: no limit
    std::string script;    // --script FILE
    // The routine and its arguments (empty: none named), or for help the
    // routine asked about.
    std::vector<std::string> words;
};

// Reads the command line. On error sets a one-line message and returns false.
bool parseOptions(int argc, char** argv, Options& options, std::string& message);

}  // namespace bc::run
