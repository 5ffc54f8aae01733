#include "tools/completion.h"

#include <cstring>

#include "led/max7219_sequences.h"
#include "tools/help.h"
#include "tools/routine_table.h"

namespace bc::run {

namespace {

std::vector<std::string> startingWith(const std::vector<std::string>& names, const std::string& partial) {
    std::vector<std::string> found;
    for (const std::string& n : names)
        if (n.compare(0, partial.size(), partial) == 0) found.push_back(n);
    return found;
}

std::vector<std::string> sequenceNameList() {
    std::vector<std::string> names;
    for (const char* n : sequenceTableNames) names.push_back(n);
    return names;
}

// The argument at `index` of the routine, by its kind: names to offer, or
// the routine's arguments as a hint.
Completion argument(const Routine& r, size_t index, const std::string& partial) {
    const size_t count = std::strlen(r.kinds);
    const char kind = index < count ? r.kinds[index] : '\0';
    if (kind == 's') return {startingWith(sequenceNameList(), partial), ""};
    if (kind == 'c') return {startingWith({"1", "2"}, partial), ""};
    if (count == 0) return {{}, std::string(r.name) + " takes no arguments"};
    return {{}, std::string(r.name) + " " + r.argNames};
}

}  // namespace

const std::vector<std::string>& shellCommands() {
    static const std::vector<std::string> commands = {"help", "ports", "quit"};
    return commands;
}

Completion completeWord(const std::vector<std::string>& before, const std::string& partial) {
    if (before.empty()) {
        std::vector<std::string> names = routineNames();
        names.insert(names.end(), shellCommands().begin(), shellCommands().end());
        return {startingWith(names, partial), ""};
    }
    if (before[0] == "help")
        return before.size() == 1 ? Completion{startingWith(routineNames(), partial), ""} : Completion{};
    const Routine* r = findRoutine(before[0].c_str());
    return r ? argument(*r, before.size() - 1, partial) : Completion{};
}

}  // namespace bc::run
