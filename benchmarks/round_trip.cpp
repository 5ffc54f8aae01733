// P4: one adapter frame (the set-pins frame 63 00: two bytes out, one back)
// through three clients of the same simulated adapter. The tool and the raw
// loop take turns in short rounds on the same terminal (each round with its
// own client's line settings restored), so that a change of machine load
// hits both alike; pyserial runs in blocks of its own between the rounds.
#include <termios.h>

#include <cstdio>

#include "benchmarks/clock.h"
#include "benchmarks/pyserial_client.h"
#include "benchmarks/raw_line.h"
#include "benchmarks/sections.h"
#include "benchmarks/tool_port.h"
#include "iss/adapter_interface.h"

namespace bc::benchmarks {

namespace {

constexpr int kSets = 7;
constexpr int kRoundsPerSet = 24;
constexpr int kPerRound = 50;
constexpr int kPyPerBlock = 300;
constexpr int kWarmUp = 10;  // exchanges that wake everything up, not counted

Samples rawRound(RawLine& line, int count, bool timed) {
    Samples us;
    for (int i = 0; i < count; ++i) {
        const int64_t t = timed ? line.roundTripTimed(iss::kCmdSetPins, 0) : line.roundTrip(iss::kCmdSetPins, 0);
        if (t < 0) return {};
        us.push_back(double(t) / 1e3);
    }
    return us;
}

Samples pyserialBlock(const Config& cfg, const std::string& port) {
    return pyserialRoundTrips(cfg, port, kWarmUp, kPyPerBlock);
}

Row timeRow(const char* what, const Samples& s) { return {"P4", what, summarize(s), "us", 1, "-", !s.empty()}; }

struct Results {
    Samples tool, raw, timed, py;
    std::vector<double> toolOverRaw, toolOverTimed, toolOverPy;
};

// One pyserial block, then rounds of the tool and the raw loop taking turns.
// The raw line is opened before the tool's port, and the tool's port is
// closed while pyserial runs: the tool's exclusive open would refuse any
// later open to anyone but root.
bool oneSet(RawLine& line, const std::string& port, const Config& cfg, Results& r) {
    const Samples p = pyserialBlock(cfg, port);
    if (!openToolPort(port)) return false;
    termios toolSettings, rawSettings;
    tcgetattr(line.fd(), &toolSettings);
    line.configure();
    tcgetattr(line.fd(), &rawSettings);
    Samples tool;
    for (int k = 0; k < kRoundsPerSet; ++k) {
        tcsetattr(line.fd(), TCSANOW, &toolSettings);
        toolRoundTrips(kWarmUp);
        const Samples t = toolRoundTrips(kPerRound);
        tcsetattr(line.fd(), TCSANOW, &rawSettings);
        rawRound(line, kWarmUp, false);
        const Samples w = rawRound(line, kPerRound, false);
        const Samples wt = rawRound(line, kPerRound, true);
        if (t.empty() || w.empty() || wt.empty()) break;
        append(tool, t);
        append(r.raw, w);
        append(r.timed, wt);
        r.toolOverRaw.push_back(median(t) / median(w));
        r.toolOverTimed.push_back(median(t) / median(wt));
    }
    closeToolPort();
    append(r.tool, tool);
    if (p.empty() || tool.empty()) return !tool.empty();
    append(r.py, p);
    r.toolOverPy.push_back(median(tool) / median(p));
    return true;
}

}  // namespace

double measureRoundTrips(const std::string& port, const Config& cfg, Report& report) {
    Results r;
    RawLine line;
    if (line.open(port))
        for (int b = 0; b < cfg.runs(kSets); ++b)
            if (!oneSet(line, port, cfg, r)) break;
    report.add(timeRow("round trip, raw termios loop (floor)", r.raw));
    report.add(timeRow("round trip, raw loop with a timed wait", r.timed));
    report.add(timeRow("round trip, tool WriteFile/ReadFile", r.tool));
    report.add(timeRow("round trip, pyserial", r.py));
    const Summary vsRaw = summarize(r.toolOverRaw);
    const Summary vsPy = summarize(r.toolOverPy), vsTimed = summarize(r.toolOverTimed);
    report.add(
        {"P4", "round trip, tool / floor", vsRaw, "ratio", 3, "<= 1.10", vsRaw.runs > 0 && vsRaw.median <= 1.10});
    report.add({"P4", "round trip, tool / raw loop with a timed wait", vsTimed, "ratio", 3, "-", vsTimed.runs > 0});
    report.add(
        {"P4", "round trip, tool / pyserial", vsPy, "ratio", 3, "<= 1.00", vsPy.runs > 0 && vsPy.median <= 1.00});
    if (r.py.empty()) report.note("P4: pyserial did not run (is python3-serial installed?)");
    report.note(
        "P4: the tool, the raw loop and the raw loop with a timed wait (ppoll, then read) take "
        "turns in rounds of " +
        std::to_string(kPerRound) +
        " exchanges on one terminal; a "
        "pyserial block of " +
        std::to_string(kPyPerBlock) + " before every " + std::to_string(kRoundsPerSet) +
        " rounds. Ratio rows: medians of per-round "
        "(per-block) ratios of medians.");
    return summarize(r.raw).median / 1e3;
}

}  // namespace bc::benchmarks
