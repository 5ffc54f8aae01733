// Summaries of repeated measurements.
#pragma once

#include <vector>

namespace bc::benchmarks {

struct Summary {
    double median = 0, min = 0, max = 0;
    int runs = 0;
};

Summary summarize(std::vector<double> values);

}  // namespace bc::benchmarks
