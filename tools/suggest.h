// "Did you mean ...?" for a mistyped routine name.
#pragma once

#include <string>
#include <vector>

namespace bc::run {

// The names nearest to `typed`: those that differ from it in case alone;
// else those fewest letters away (a letter missing, added, changed, or two
// swapped: scopeReadAcquire, sendMAX7219xyz), if that is few for its length;
// else those it begins or is part of. At most four, in the order given.
std::vector<std::string> nearestNames(const std::string& typed, const std::vector<std::string>& names);

// "; did you mean A or B?" for those names, or "" when there are none.
std::string didYouMean(const std::string& typed, const std::vector<std::string>& names);

}  // namespace bc::run
