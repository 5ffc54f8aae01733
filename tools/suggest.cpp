#include "tools/suggest.h"

#include <algorithm>
#include <cctype>

namespace bc::run {

namespace {

constexpr size_t kMostSuggested = 4;

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Letters inserted, deleted, changed, and neighbours swapped, each one step
// (the optimal string alignment distance), case aside.
size_t distance(const std::string& a, const std::string& b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i)
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// How many slips a name of that length may have and still be recognised.
size_t slipsAllowed(size_t length) { return length <= 4 ? 1 : length <= 9 ? 2 : 3; }

}  // namespace

std::vector<std::string> nearestNames(const std::string& typed, const std::vector<std::string>& names) {
    const std::string t = lower(typed);
    std::vector<std::string> found;
    auto collect = [&](auto&& matches) {
        for (const std::string& name : names)
            if (found.size() < kMostSuggested && matches(lower(name))) found.push_back(name);
        return !found.empty();
    };
    if (t.empty() || collect([&](const std::string& n) { return n == t; })) return found;
    size_t best = slipsAllowed(t.size()) + 1;
    for (const std::string& name : names) best = std::min(best, distance(t, lower(name)));
    if (best <= slipsAllowed(t.size()) && collect([&](const std::string& n) { return distance(t, n) == best; }))
        return found;
    if (t.size() >= 3) collect([&](const std::string& n) { return n.find(t) != std::string::npos; });
    return found;
}

std::string didYouMean(const std::string& typed, const std::vector<std::string>& names) {
    const std::vector<std::string> near = nearestNames(typed, names);
    if (near.empty()) return "";
    std::string text = "; did you mean ";
    for (size_t i = 0; i < near.size(); ++i) text += (i == 0 ? "" : i + 1 == near.size() ? " or " : ", ") + near[i];
    return text + "?";
}

}  // namespace bc::run
