// P1: the wall time of four routines on benchcom-sim against the least time
// they can take: the waits the tool itself makes, the read time-outs their
// exchanges cannot avoid, and what the line needs to carry the bytes (taken
// from the raw termios loop on the same simulated bench).
#include <cstdio>
#include <string>

#include "benchmarks/clock.h"
#include "benchmarks/raw_line.h"
#include "benchmarks/sample_lines.h"
#include "benchmarks/sections.h"
#include "benchmarks/tool_port.h"
#include "led/max7219_setup.h"
#include "led/max7219_transfer.h"
#include "scope/dual_capture.h"
#include "scope/sequences.h"

namespace bc::benchmarks {

namespace {

// The tool's fixed pacing.
constexpr double kWordHoldMs = 600;    // busy-wait after every LED word
constexpr double kFramesPerWord = 53;  // 3 + 16 x 3 + 2 set-pins exchanges
constexpr int kClearWords = 14;
constexpr int kIoSetupExchanges = 2;  // issSetIoMode, issChangeIoMode
constexpr double kQueryWaitMs = 600;  // before every query's read
constexpr double kSetupWaits = 5;     // 2 after commands, 3 inside the queries
constexpr double kSetupQueries = 3;
// The read time-outs every exchange runs under.
constexpr double kIntervalMs = 100;
constexpr double kTotalConstantMs = 100;
constexpr size_t kLearnMax = 700;
constexpr size_t kBlockBytes = 8014;

template <class F>
double timeMs(F f) {
    const int64_t t0 = nowNs();
    f();
    return msBetween(t0, nowNs());
}

std::string fmt(const char* format, double a, double b = 0, double c = 0, double d = 0) {
    char buf[256];
    snprintf(buf, sizeof buf, format, a, b, c, d);
    return buf;
}

double excessMs(const std::vector<double>& ratios, double floorMs) { return (summarize(ratios).median - 1) * floorMs; }

Row ratioRow(const char* what, const std::vector<double>& ratios, double most = 1.01) {
    const Summary s = summarize(ratios);
    char target[16];
    snprintf(target, sizeof target, "<= %g", most);
    return {"P1", what, s, "ratio", 4, target, s.runs > 0 && s.median <= most};
}

// What scopeReadDual cannot go below on this bench: the learn reply's
// transfer, then (being shorter than the 700 bytes asked for) the interval
// time-out after its last byte and two empty reads of the total time-out for
// the rest, then both blocks' transfers.
struct DualFloor {
    double ms = 0, learnMs = 0, blocksMs = 0;
    size_t learnBytes = 0;
    bool ok = false;
};

DualFloor dualFloor(const std::string& port) {
    DualFloor f;
    RawLine raw;
    if (!raw.open(port)) return f;
    const int silenceMs = 300;  // well past any pause inside a reply
    const RawLine::Reply learn = raw.exchange("*LRN?\r", kLearnMax, silenceMs);
    const RawLine::Reply b1 = raw.exchange(":acquire1:memory?\r", kBlockBytes, silenceMs);
    const RawLine::Reply b2 = raw.exchange(":acquire2:memory?\r", kBlockBytes, silenceMs);
    f.ok = learn.bytes > 0 && learn.bytes < kLearnMax && b1.bytes == kBlockBytes && b2.bytes == kBlockBytes;
    f.learnBytes = learn.bytes;
    f.learnMs = double(learn.lastByteNs) / 1e6;
    f.blocksMs = double(b1.lastByteNs + b2.lastByteNs) / 1e6;
    const double emptyRead = kTotalConstantMs + double(kLearnMax - learn.bytes);
    f.ms = f.learnMs + kIntervalMs + 2 * emptyRead + f.blocksMs;
    return f;
}

void measureLed(const std::string& port, double rttMs, const Config& cfg, Report& report) {
    std::vector<double> word, clear;
    const double wordFloor = kWordHoldMs + kFramesPerWord * rttMs;
    const double clearFloor = kClearWords * kWordHoldMs + (kIoSetupExchanges + kClearWords * kFramesPerWord) * rttMs;
    if (!openToolPort(port)) return;
    max7219IoSetup(0);
    for (int i = 0; i < cfg.runs(9); ++i) word.push_back(timeMs([] { sendMax7219Word(0, 0x0C01); }) / wordFloor);
    for (int i = 0; i < cfg.runs(3); ++i) clear.push_back(timeMs([] { clearMax7219(0); }) / clearFloor);
    closeToolPort();
    report.add(ratioRow("sendMax7219Word wall / floor", word));
    report.add(ratioRow("clearMax7219 wall / floor", clear));
    report.note(
        fmt("P1 floor sendMax7219Word = 600 ms + 53 x RTT = %.2f ms "
            "(RTT = P4 raw-loop median round trip, %.4f ms); median excess %.2f ms",
            wordFloor, rttMs, excessMs(word, wordFloor)));
    report.note(
        fmt("P1 floor clearMax7219 = 14 x 600 ms + (2 + 14 x 53) x RTT = %.2f ms; median excess "
            "%.2f ms",
            clearFloor, excessMs(clear, clearFloor)));
}

void measureScopeSetup(const std::string& port, const Config& cfg, Report& report) {
    std::vector<double> ratios;
    const double floorMs = kSetupWaits * kQueryWaitMs + kSetupQueries * kIntervalMs;
    if (!openToolPort(port)) return;
    for (int i = 0; i < cfg.runs(3); ++i) ratios.push_back(timeMs([] { scopeSetup(0); }) / floorMs);
    closeToolPort();
    report.add(ratioRow("scopeSetup wall / floor", ratios));
    report.note(
        fmt("P1 floor scopeSetup = 5 x 600 ms (2 waits, 3 query waits) + 3 x 100 ms "
            "(each query's one read ends 100 ms after the reply's last byte) = %.0f ms; "
            "median excess %.2f ms",
            floorMs, excessMs(ratios, floorMs)));
}

void measureDual(const std::string& port, const Config& cfg, Report& report) {
    std::vector<double> ratios, floors, cpuMs;
    DualFloor last;
    for (int i = 0; i < cfg.runs(7); ++i) {
        // The floor is taken afresh before every run, from the same bench state.
        last = dualFloor(port);
        if (!last.ok || !openToolPort(port)) break;
        const int64_t cpu0 = threadCpuNsFine();
        ratios.push_back(timeMs([] { scopeReadDual(0, '1'); }) / last.ms);
        cpuMs.push_back(double(threadCpuNsFine() - cpu0) / 1e6);
        floors.push_back(last.ms);
        closeToolPort();
    }
    // All the capture adds to its floor is its own output (the console plot
    // and the files): on an idle machine, at most half a per cent.
    report.add(ratioRow("scopeReadDual wall / floor", ratios, 1.005));
    report.note(
        fmt("P1 floor scopeReadDual = T(learn) + 100 ms + 2 x (100 + 700 - L) ms + T(block 1) "
            "+ T(block 2), with L = %.0f learn bytes, T(learn) = %.2f ms and T(blocks) = %.2f ms "
            "from the raw loop: median %.2f ms",
            double(last.learnBytes), last.learnMs, last.blocksMs, summarize(floors).median));
    report.note(
        fmt("P1 scopeReadDual median excess %.2f ms (the capture's console plot and files); "
            "processor time %.2f ms (median; its reads and waits, its output)",
            excessMs(ratios, summarize(floors).median), summarize(cpuMs).median));
    if (!last.ok) report.note("P1: the raw loop could not take scopeReadDual's floor");
}

}  // namespace

void measureRoutines(const std::string& port, double rttMs, const Config& cfg, Report& report) {
    measureLed(port, rttMs, cfg, report);
    measureScopeSetup(port, cfg, report);
    measureDual(port, cfg, report);
    measureSampleLines(cfg, report);
}

}  // namespace bc::benchmarks
