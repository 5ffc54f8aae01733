#include "tools/parse_args.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bc::run {

bool parseInt(const char* text, int& value) {
    if (!*text || std::strchr(" \t\n+", text[0])) return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text, &end, 0);
    if (errno || *end || v < INT_MIN || v > INT_MAX) return false;
    value = int(v);
    return true;
}

namespace {

bool parseOne(char kind, const char* arg, Args& args, int& nums, int& texts, char* message, size_t size) {
    switch (kind) {
    case 'i':
        if (parseInt(arg, args.num[nums++])) return true;
        snprintf(message, size, "'%s' is not a number", arg);
        return false;
    case 'c':
        if (arg[0] && !arg[1]) {
            args.num[nums++] = static_cast<unsigned char>(arg[0]);
            return true;
        }
        snprintf(message, size, "'%s' is not a channel (one character, such as 1 or 2)", arg);
        return false;
    case 's':
        if ((args.sequence = sequenceNamed(arg))) return true;
        snprintf(message, size, "unknown sequence '%s'", arg);
        return false;
    default: args.text[texts++] = arg; return true;
    }
}

}  // namespace

bool parseArgs(const Routine& routine, int argc, char** argv, Args& args, char* message, size_t messageSize) {
    const int wanted = int(std::strlen(routine.kinds));
    if (argc != wanted) {
        snprintf(message, messageSize, "%s takes %d argument%s (%s), not %d", routine.name, wanted,
                 wanted == 1 ? "" : "s", *routine.argNames ? routine.argNames : "none", argc);
        return false;
    }
    int nums = 0, texts = 0;
    for (int i = 0; i < argc; ++i)
        if (!parseOne(routine.kinds[i], argv[i], args, nums, texts, message, messageSize)) return false;
    return true;
}

}  // namespace bc::run
