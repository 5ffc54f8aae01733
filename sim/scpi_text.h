// SCPI text as an instrument reads it: a byte stream cut into program
// messages at CR, LF or CR LF; messages cut into commands at ';'; headers
// made of mnemonics that match in their short (upper-case part) or long
// form, in either letter case, with an optional numeric suffix.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bc::sim {

// Collects bytes that arrive in any pieces into complete messages.
class ScpiLineAssembler {
public:
    // Appends bytes; returns the messages they completed (empty ones, such
    // as the LF of a CR LF, are dropped). A message longer than the input
    // buffer is dropped whole and reported as `overflowed`.
    std::vector<std::string> feed(const uint8_t* bytes, size_t count);
    bool overflowed = false;
    // A message has begun and not yet ended.
    bool partial() const { return !pending_.empty() || discarding_; }

    static constexpr size_t maxMessage = 4096;

private:
    std::string pending_;
    bool discarding_ = false;
};

// One header node: the mnemonic in upper case, its numeric suffix (0 when
// none was given), and whether it ended in '?'.
struct ScpiNode {
    std::string name;
    int suffix = 0;
};

struct ScpiCommand {
    bool common = false;  // "*RST", "*IDN?"...
    bool query = false;
    std::vector<ScpiNode> nodes;  // for a common command, one node without '*'
    std::string argument;         // text after the header, trimmed
};

// Splits one message into its commands. A command without a leading ':'
// after the first one continues the previous command's branch (all nodes
// of its header but the last), as SCPI defines.
std::vector<ScpiCommand> parseScpiMessage(std::string_view message);

// True when `node` names `mnemonic` ("CHANnel", "SCALe"): its name equals
// the upper-case short form or the whole mnemonic in upper case, and its
// suffix is `suffix` (a missing suffix counts as 1 where one is expected).
bool matchesMnemonic(const ScpiNode& node, std::string_view mnemonic, int suffix = 0);

}  // namespace bc::sim
