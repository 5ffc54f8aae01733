#include <cstdio>

#include "scope/learn_string.h"
#include "tools/routine_table.h"

namespace bc::run {

namespace {

// Look-ups run on the built-in sample, so they need no instrument.
void runLrnGetFloat(const Args& a) { printf("%g\n", double(lrnGetFloat(sampleLearnString, a.text[0], a.text[1]))); }

}  // namespace

std::span<const Routine> appRoutines() {
    static const Routine table[] = {
        {"lrnGetFloat", "tt", "section key",
         "Finds KEY after the first SECTION in the built-in sample learn string and prints its "
         "number (0 when there is none). Sends nothing.",
         false, runLrnGetFloat},
    };
    return table;
}

}  // namespace bc::run
