#include "benchmarks/report.h"

namespace bc::benchmarks {

bool Report::allMet() const {
    for (const Row& r : rows_)
        if (!r.met) return false;
    return true;
}

void Report::print(FILE* out) const {
    fprintf(out, "%-3s %-52s %10s %10s %10s %5s %-6s %-16s %s\n", "", "measurement", "median", "min", "max", "runs",
            "unit", "target", "met");
    for (const Row& r : rows_) {
        const int d = r.decimals;
        fprintf(out, "%-3s %-52s %10.*f %10.*f %10.*f %5d %-6s %-16s %s\n", r.id.c_str(), r.what.c_str(), d,
                r.value.median, d, r.value.min, d, r.value.max, r.value.runs, r.unit.c_str(), r.target.c_str(),
                r.met ? "yes" : "NO");
    }
    if (!notes_.empty()) fprintf(out, "\n");
    for (const std::string& n : notes_) fprintf(out, "%s\n", n.c_str());
}

}  // namespace bc::benchmarks
