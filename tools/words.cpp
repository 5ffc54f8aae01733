#include "tools/words.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bc::run {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isHex(char c) { return c && std::strchr("0123456789abcdefABCDEF", c); }

// The escape at line[i] (a backslash inside quotes), appended to `word`;
// `i` is left on its last character.
bool readEscape(const std::string& line, size_t& i, std::string& word, std::string& error) {
    const char c = i + 1 < line.size() ? line[i + 1] : '\0';
    const char* simple = std::strchr("rnt\\\"", c);
    if (c && simple) {
        word += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
        i += 1;
        return true;
    }
    if (c == 'x' && i + 3 < line.size() && isHex(line[i + 2]) && isHex(line[i + 3])) {
        const char digits[3] = {line[i + 2], line[i + 3], '\0'};
        const char byte = char(std::strtoul(digits, nullptr, 16));
        if (byte == '\0') {
            error = "\\x00: a word cannot hold a zero byte";
            return false;
        }
        word += byte;
        i += 3;
        return true;
    }
    if (c == 'x')
        error = "\\x takes two hexadecimal digits, as in \\x1B";
    else
        error = std::string("unknown escape \\") + (c ? std::string(1, c) : std::string()) +
                " in quotes (known: \\r \\n \\t \\\\ \\\" \\xHH)";
    return false;
}

}  // namespace

bool splitWords(const std::string& line, std::vector<std::string>& words, std::string& error) {
    words.clear();
    size_t i = 0;
    while (true) {
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i >= line.size() || line[i] == '#') return true;
        std::string word;
        bool quoted = false;
        for (; i < line.size() && (quoted || !isBlank(line[i])); ++i) {
            const char c = line[i];
            if (c == '"')
                quoted = !quoted;
            else if (quoted && c == '\\') {
                if (!readEscape(line, i, word, error)) return false;
            } else
                word += c;
        }
        if (quoted) {
            error = "a double quote is not closed";
            return false;
        }
        words.push_back(word);
    }
}

std::string escaped(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else
            out += char(c);
    }
    return out;
}

}  // namespace bc::run
