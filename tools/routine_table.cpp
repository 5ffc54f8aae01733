#include "tools/routine_table.h"

#include <cstring>

namespace bc::run {

std::span<const std::span<const Routine>> routineTables() {
    static const std::span<const Routine> tables[] = {appRoutines(), scopeRoutines(), issRoutines(), ledRoutines(),
                                                      rawRoutines()};
    return tables;
}

const Routine* findRoutine(const char* name) {
    for (auto table : routineTables())
        for (const Routine& r : table)
            if (std::strcmp(r.name, name) == 0) return &r;
    return nullptr;
}

}  // namespace bc::run
