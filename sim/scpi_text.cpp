#include "sim/scpi_text.h"

#include <cctype>

namespace bc::sim {

namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

ScpiNode parseNode(std::string_view text) {
    ScpiNode node;
    size_t digits = text.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(text[digits - 1]))) --digits;
    node.name = upper(text.substr(0, digits));
    // A suffix long enough to overflow is no suffix an instrument has.
    std::string_view suffix = text.substr(digits);
    if (!suffix.empty()) node.suffix = suffix.size() > 4 ? -1 : std::stoi(std::string(suffix));
    return node;
}

// Fills `cmd` from the header and returns false for an empty one.
bool parseHeader(std::string_view header, ScpiCommand& cmd) {
    if (!header.empty() && header.back() == '?') {
        cmd.query = true;
        header.remove_suffix(1);
    }
    while (!header.empty() && header.back() == ':') header.remove_suffix(1);
    if (header.empty()) return false;
    size_t start = 0;
    while (start <= header.size()) {
        size_t colon = header.find(':', start);
        if (colon == std::string_view::npos) colon = header.size();
        cmd.nodes.push_back(parseNode(header.substr(start, colon - start)));
        start = colon + 1;
    }
    return true;
}

}  // namespace

std::vector<std::string> ScpiLineAssembler::feed(const uint8_t* bytes, size_t count) {
    std::vector<std::string> done;
    for (size_t i = 0; i < count; ++i) {
        const char c = char(bytes[i]);
        if (c == '\r' || c == '\n') {
            if (!discarding_ && !pending_.empty()) done.push_back(pending_);
            pending_.clear();
            discarding_ = false;
        } else if (!discarding_) {
            pending_ += c;
            if (pending_.size() > maxMessage) {
                pending_.clear();
                discarding_ = true;
                overflowed = true;
            }
        }
    }
    return done;
}

std::vector<ScpiCommand> parseScpiMessage(std::string_view message) {
    std::vector<ScpiCommand> out;
    std::vector<ScpiNode> branch;  // the nodes a relative command continues from
    size_t start = 0;
    while (start <= message.size()) {
        size_t semi = message.find(';', start);
        if (semi == std::string_view::npos) semi = message.size();
        std::string_view text = trim(message.substr(start, semi - start));
        start = semi + 1;
        if (text.empty()) continue;

        size_t space = 0;
        while (space < text.size() && !std::isspace(static_cast<unsigned char>(text[space]))) ++space;
        std::string_view header = text.substr(0, space);
        ScpiCommand cmd;
        cmd.argument = std::string(trim(text.substr(space)));
        if (header.front() == '*') {
            cmd.common = true;
            if (!parseHeader(header.substr(1), cmd)) continue;
            out.push_back(std::move(cmd));
            continue;
        }
        const bool absolute = header.front() == ':';
        if (absolute) header.remove_prefix(1);
        if (!absolute) cmd.nodes = branch;
        if (!parseHeader(header, cmd)) continue;
        branch.assign(cmd.nodes.begin(), cmd.nodes.end() - 1);
        out.push_back(std::move(cmd));
    }
    return out;
}

bool matchesMnemonic(const ScpiNode& node, std::string_view mnemonic, int suffix) {
    std::string shortForm;
    for (char c : mnemonic) {
        if (std::islower(static_cast<unsigned char>(c))) break;
        shortForm += c;
    }
    if (node.name != shortForm && node.name != upper(mnemonic)) return false;
    if (suffix == 0) return node.suffix == 0;
    return node.suffix == suffix || (node.suffix == 0 && suffix == 1);
}

}  // namespace bc::sim
