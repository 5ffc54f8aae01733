#include "tools/routine_table.h"

namespace bc::run {

std::span<const Routine> issRoutines() { return {}; }

}  // namespace bc::run
