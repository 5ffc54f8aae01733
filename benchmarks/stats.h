// Summaries of repeated measurements.
#pragma once

#include <vector>

namespace bc::benchmarks {

struct Summary {
    double median = 0, min = 0, max = 0;
    int runs = 0;
};

Summary summarize(std::vector<double> values);

// Times of single exchanges, in microseconds.
using Samples = std::vector<double>;

void append(Samples& all, const Samples& more);
inline double median(const Samples& s) { return summarize(s).median; }

}  // namespace bc::benchmarks
