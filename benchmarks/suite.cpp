// P5: the whole unit test suite, as a developer runs it.
#include "benchmarks/clock.h"
#include "benchmarks/processes.h"
#include "benchmarks/sections.h"
#include "platform/posix/child_process.h"

namespace bc::benchmarks {

void measureSuite(const Config& cfg, Report& report) {
    std::vector<double> seconds;
    bool passed = true;
    for (int i = 0; i < cfg.runs(3); ++i) {
        const int64_t t0 = nowNs();
        const pid_t pid = startIn({cfg.testsPath}, {}, "", cfg.scratch + "/suite.txt");
        const int status = pid > 0 ? posix::waitForChild(pid) : -1;
        seconds.push_back(msBetween(t0, nowNs()) / 1e3);
        passed = passed && status == 0;
    }
    const Summary s = summarize(seconds);
    report.add({"P5", "unit test suite wall time", s, "s", 2, "< 30 s", passed && s.median < 30});
    if (!passed) report.note("P5: the suite did not pass (see suite.txt in the scratch directory)");
}

}  // namespace bc::benchmarks
