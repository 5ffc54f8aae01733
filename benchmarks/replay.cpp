// P9: a long session recorded on the bench inside the program, then played
// back with replay-fast: how many times faster than the session it comes
// out, with the console lines it printed at the recording.
#include <signal.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "benchmarks/clock.h"
#include "benchmarks/processes.h"
#include "benchmarks/sections.h"
#include "platform/posix/child_process.h"

namespace bc::benchmarks {

namespace {

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The session's length as its trace has it: the time stamp of its last
// line, the port's close, counted from the first open.
double recordedSeconds(const std::string& trace) {
    std::istringstream lines(contentsOf(trace));
    double last = 0;
    for (std::string line; std::getline(lines, line);)
        if (line.size() > 13 && line[0] == ' ') last = std::atof(line.substr(0, 13).c_str());
    return last;
}

struct Session {
    std::string name;  // for the rows
    std::vector<std::string> argv;
    std::string dir;
    double recordedS = 0;
    pid_t pid = -1;
};

void record(Session& s, const Config& cfg) {
    s.dir = cfg.scratch + "/p9-" + s.name;
    std::vector<std::string> mkdir{"/bin/mkdir", "-p", s.dir};
    int status = 0;
    outputOf(mkdir, status);
    s.pid = startIn(s.argv, {"BENCHCOM_PORT=sim", "BENCHCOM_TRACE=trace.txt"}, s.dir, s.dir + "/recorded.txt");
}

void measure(Session& s, const Config& cfg, Report& report, double goalS) {
    std::vector<double> seconds, ratios;
    bool alike = true;
    const std::string recorded = contentsOf(s.dir + "/recorded.txt");
    for (int i = 0; i < cfg.runs(7); ++i) {
        const int64_t t0 = nowNs();
        const pid_t pid = startIn(s.argv, {"BENCHCOM_PORT=replay-fast:trace.txt"}, s.dir, s.dir + "/replayed.txt");
        const int status = pid > 0 ? posix::waitForChild(pid) : -1;
        const double took = msBetween(t0, nowNs()) / 1e3;
        seconds.push_back(took);
        ratios.push_back(s.recordedS / took);
        alike = alike && status == (cfg.quick ? 130 : 0) && contentsOf(s.dir + "/replayed.txt") == recorded;
    }
    report.add({"P9", s.name + ", replay-fast wall", summarize(seconds), "s", 3,
                "< " + std::to_string(int(goalS)) + " s", alike && summarize(seconds).median < goalS});
    report.add({"P9", s.name + ", recorded / replay-fast", summarize(ratios), "ratio", 0, ">= 100",
                alike && summarize(ratios).median >= 100});
    char line[200];
    std::snprintf(line, sizeof line, "P9 %s: recorded in %.1f s; the replays' console %s the recording's",
                  s.name.c_str(), s.recordedS, alike ? "equals" : "DIFFERS FROM");
    report.note(line);
}

}  // namespace

void measureReplay(const Config& cfg, Report& report) {
    Session sessions[] = {
        {"main sequence", {cfg.mainPath}, "", 0, -1},
        {"demoMax7219Patterns", {cfg.runPath, "demoMax7219Patterns"}, "", 0, -1},
    };
    // Both recorded at once, each in real time on a core of its own: the
    // busy-waits of the one do not slow the other's replies.
    for (Session& s : sessions) record(s, cfg);
    if (cfg.quick) {
        sleepMs(20000);  // a smoke check: both cut with Ctrl-C after 20 s
        for (Session& s : sessions) kill(s.pid, SIGINT);
    }
    for (Session& s : sessions) {
        const int status = s.pid > 0 ? posix::waitForChild(s.pid) : -1;
        s.recordedS = recordedSeconds(s.dir + "/trace.txt");
        if (status != (cfg.quick ? 130 : 0)) {
            report.note("P9 " + s.name + ": the recording ended with status " + std::to_string(status));
            continue;
        }
        measure(s, cfg, report, s.argv.size() == 1 ? 2.0 : 1.0);
    }
    report.note(
        "P9: each session recorded once with BENCHCOM_TRACE on BENCHCOM_PORT=sim, the two side by side, then "
        "replayed with BENCHCOM_PORT=replay-fast; ratio rows: the session's length in its trace (first open "
        "to close) over each replay's wall time, program start to end.");
}

}  // namespace bc::benchmarks
