#include "tools/routine_table.h"

namespace bc::run {

std::span<const Routine> scopeRoutines() { return {}; }

}  // namespace bc::run
