// The benchmark's result table and the notes that explain its floors.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "benchmarks/stats.h"

namespace bc::benchmarks {

struct Row {
    std::string id;    // P1 .. P6
    std::string what;  // what was measured
    Summary value;     // over the runs
    std::string unit;  // "ratio", "ms", "us", "%"
    int decimals = 3;
    std::string target;  // as the reader should check it
    bool met = false;
};

class Report {
public:
    void add(Row row) { rows_.push_back(std::move(row)); }
    void note(std::string line) { notes_.push_back(std::move(line)); }
    bool allMet() const;
    void print(FILE* out) const;

private:
    std::vector<Row> rows_;
    std::vector<std::string> notes_;
};

}  // namespace bc::benchmarks
