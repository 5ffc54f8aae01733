#include "tools/parse_args.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace bc::run {

IntParse parseInt(const char* text, int& value) {
    if (!*text || std::strchr(" \t\n+", text[0])) return IntParse::notANumber;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text, &end, 0);
    if (end == text || *end) return IntParse::notANumber;
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return IntParse::outOfRange;
    value = int(v);
    return IntParse::ok;
}

namespace {

// The most reply bytes a raw frame may ask for.
constexpr int kMostReplyBytes = 65536;

bool parseNumber(const char* arg, int& into, std::string& message) {
    switch (parseInt(arg, into)) {
    case IntParse::ok: return true;
    case IntParse::notANumber: message = std::string("'") + arg + "' is not a number"; return false;
    case IntParse::outOfRange:
        message = std::string("'") + arg + "' is out of range: a number here is from " + std::to_string(INT_MIN) +
                  " to " + std::to_string(INT_MAX);
        return false;
    }
    return false;
}

// One byte in hexadecimal: 5A, 5a, 0x5A or a single digit.
bool parseHexByte(const char* word, unsigned char& byte) {
    const char* digits = (word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) ? word + 2 : word;
    const size_t n = std::strlen(digits);
    if (n < 1 || n > 2 || std::strspn(digits, "0123456789abcdefABCDEF") != n) return false;
    byte = static_cast<unsigned char>(std::strtoul(digits, nullptr, 16));
    return true;
}

// BYTE... [read N]
bool parseRawFrame(const Routine& routine, std::span<const char* const> words, Args& args, std::string& message) {
    size_t bytes = words.size();
    if (bytes >= 2 && std::strcmp(words[bytes - 2], "read") == 0) {
        bytes -= 2;
        if (!parseNumber(words[bytes + 1], args.replyCount, message)) return false;
        if (args.replyCount < 0 || args.replyCount > kMostReplyBytes) {
            message = "read " + std::string(words[bytes + 1]) + ": the count of reply bytes is from 0 to " +
                      std::to_string(kMostReplyBytes);
            return false;
        }
    }
    if (bytes == 0 || bytes > size_t(kMaxRawBytes)) {
        message = std::string(routine.name) + " takes 1 to " + std::to_string(kMaxRawBytes) +
                  " bytes in hexadecimal, then optionally read N (" + routine.argNames + ")";
        return false;
    }
    for (size_t i = 0; i < bytes; ++i)
        if (!parseHexByte(words[i], args.bytes[i])) {
            message = std::string("'") + words[i] + "' is not a byte in hexadecimal (00 to FF)";
            return false;
        }
    args.byteCount = int(bytes);
    return true;
}

bool parseOne(char kind, const char* arg, Args& args, int& nums, int& texts, std::string& message) {
    switch (kind) {
    case 'i': return parseNumber(arg, args.num[nums++], message);
    case 'c':
        if (arg[0] && !arg[1]) {
            args.num[nums++] = static_cast<unsigned char>(arg[0]);
            return true;
        }
        message = std::string("'") + arg + "' is not a channel (one character, such as 1 or 2)";
        return false;
    case 's':
        if ((args.sequence = sequenceNamed(arg))) return true;
        message = std::string("unknown sequence '") + arg + "'";
        return false;
    default: args.text[texts++] = arg; return true;
    }
}

}  // namespace

bool parseArgs(const Routine& routine, std::span<const char* const> words, Args& args, std::string& message) {
    if (std::strcmp(routine.kinds, "x") == 0) return parseRawFrame(routine, words, args, message);
    const size_t wanted = std::strlen(routine.kinds);
    if (words.size() != wanted) {
        message = std::string(routine.name) + " takes " + std::to_string(wanted) + " argument" +
                  (wanted == 1 ? "" : "s") + " (" + (*routine.argNames ? routine.argNames : "none") + "), not " +
                  std::to_string(words.size());
        return false;
    }
    int nums = 0, texts = 0;
    for (size_t i = 0; i < words.size(); ++i)
        if (!parseOne(routine.kinds[i], words[i], args, nums, texts, message)) return false;
    return true;
}

}  // namespace bc::run
