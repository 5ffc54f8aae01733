#include "tools/run_options.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace bc::run {

namespace {

// Up to a year: far beyond any run at a bench, well within the timers.
constexpr double kMostSeconds = 366.0 * 24 * 3600;

bool parseSeconds(const std::string& text, long long& ms, std::string& message) {
    char* end = nullptr;
    const double s = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || !std::isfinite(s) || s <= 0 || s > kMostSeconds) {
        message = "--for takes a number of seconds above 0 (such as 10 or 2.5), not '" + text + "'";
        return false;
    }
    ms = std::llround(s * 1000) < 1 ? 1 : std::llround(s * 1000);
    return true;
}

// "--for 10" or "--for=10": the value, taking the next word when needed.
bool valueOf(const std::string& option, int argc, char** argv, int& i, std::string& value, std::string& message) {
    const std::string arg = argv[i];
    if (arg.size() > option.size() && arg[option.size()] == '=') {
        value = arg.substr(option.size() + 1);
        return true;
    }
    if (i + 1 >= argc) {
        message = option + " takes a value";
        return false;
    }
    value = argv[++i];
    return true;
}

bool isOption(const std::string& arg, const char* name) {
    const size_t n = std::strlen(name);
    return arg.compare(0, n, name) == 0 && (arg.size() == n || arg[n] == '=');
}

}  // namespace

bool parseOptions(int argc, char** argv, Options& o, std::string& message) {
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        if (arg == "-C") {
            if (!valueOf("-C", argc, argv, i, o.dir, message)) return false;
        } else if (isOption(arg, "--for")) {
            if (!valueOf("--for", argc, argv, i, value, message) || !parseSeconds(value, o.forMs, message))
                return false;
        } else if (isOption(arg, "--script")) {
            if (!valueOf("--script", argc, argv, i, o.script, message)) return false;
            o.mode = Options::Mode::script;
        } else if (arg == "--shell") {
            o.mode = Options::Mode::shell;
        } else if (arg == "--help" || arg == "-h" || arg == "help") {
            o.mode = Options::Mode::help;
            ++i;
            break;
        } else if (arg == "--version") {
            o.mode = Options::Mode::version;
            return true;
        } else if (arg == "--list-ports") {
            o.mode = Options::Mode::listPorts;
            if (i + 1 < argc) message = "--list-ports takes no arguments";
            return i + 1 >= argc;
        } else {
            break;
        }
    }
    o.words.assign(argv + i, argv + argc);
    if (o.mode == Options::Mode::help && o.words.size() > 1) {
        message = "help takes one routine's name at most";
        return false;
    }
    if ((o.mode == Options::Mode::script || o.mode == Options::Mode::shell) && !o.words.empty()) {
        message = std::string(o.mode == Options::Mode::script ? "--script FILE" : "--shell") +
                  " takes no routine after it ('" + o.words[0] + "'): put the routines in the script or type them";
        return false;
    }
    return true;
}

}  // namespace bc::run
