#include "benchmarks/stats.h"

#include <algorithm>

namespace bc::benchmarks {

Summary summarize(std::vector<double> values) {
    Summary s;
    s.runs = int(values.size());
    if (values.empty()) return s;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    s.min = values.front();
    s.max = values.back();
    return s;
}

void append(Samples& all, const Samples& more) { all.insert(all.end(), more.begin(), more.end()); }

}  // namespace bc::benchmarks
