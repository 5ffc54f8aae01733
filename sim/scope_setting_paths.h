// The settings a command can set or query, by their mnemonic paths.
#pragma once

#include <vector>

#include "sim/scope_settings.h"
#include "sim/scpi_text.h"

namespace bc::sim {

struct SettingEntry {
    const char* path;  // "CHANnel1:SCALe": a trailing number is the node's suffix
    int* integer;      // exactly one of these two is set
    float* real;
    bool positive;  // a real setting that must stay above zero
};

std::vector<SettingEntry> settingEntries(ScopeSettings& s);

// True when the command's header names the entry's path.
bool pathMatches(const ScpiCommand& cmd, const char* path);

// Reads a setting's value from a command argument: a number, or ON / OFF.
// False for anything else, and for values that are not finite.
bool parseSettingValue(const std::string& argument, double& value);

}  // namespace bc::sim
