#include "benchmarks/sample_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "benchmarks/clock.h"
#include "scope/dual_files.h"
#include "scope/sample_text.h"
#include "scope/waveform_block.h"

namespace bc::benchmarks {

namespace {

constexpr int kSamples = 4000;
constexpr int kCapturesPerTiming = 10;

struct Signals {
    int s1[kSamples], s2[kSamples];
};

// Signals that fill most of the screen, as a capture of the bench's sine and
// square waves does: ch1 a sine of 100 counts, ch2 a square of 60.
void makeSignals(Signals& s) {
    for (int n = 0; n < kSamples; ++n) {
        s.s1[n] = int(std::lround(100 * std::sin(n * 0.05)));
        s.s2[n] = (n / 50) % 2 ? 60 : -60;
    }
}

// The capture's three lines for every sample, with its printf formats.
size_t byPrintf(const Signals& s, char* out) {
    size_t used = 0;
    for (int n = 0; n < kSamples; ++n) {
        const int s1 = s.s1[n], s2 = s.s2[n];
        used += size_t(snprintf(out + used, plotRowMost + 1, "%5d,%3d,%3d,%*d\n", 2 * n, s1, s2, plotWidth(s1), 1));
        used += size_t(snprintf(out + used, plotRowMost + 1, "%3d,%3d\n", s1, s2));
        used += size_t(snprintf(out + used, plotRowMost + 1,
                                "gbF( 'vornel','%s','Sun Feb  22 10:30:47 UTC 2015 ','%s',%d,%d,0,0,'%d');\n",
                                chartUserAtHost, chartHostAddress, s1, s2, n));
    }
    return used;
}

// The same lines as the capture makes them now.
size_t byHand(const Signals& s, char* out) {
    char* at = out;
    for (int n = 0; n < kSamples; ++n) {
        at = putDualPlotRow(at, 2 * n, s.s1[n], s.s2[n]);
        at = putDualCsvRow(at, s.s1[n], s.s2[n]);
        at = putChartCall(at, s.s1[n], s.s2[n], n);
    }
    return size_t(at - out);
}

// Processor time of kCapturesPerTiming captures' lines, in ms for one.
template <typename F>
double cpuMsPerCapture(F make, const Signals& s, std::vector<char>& out, size_t& bytes) {
    const int64_t t0 = threadCpuNsFine();
    for (int i = 0; i < kCapturesPerTiming; ++i) bytes = make(s, out.data());
    return double(threadCpuNsFine() - t0) / 1e6 / kCapturesPerTiming;
}

}  // namespace

void measureSampleLines(const Config& cfg, Report& report) {
    static Signals signals;
    makeSignals(signals);
    // Room for the lines of a capture of the widest rows would be 70 MB;
    // these signals' take under 1 MB.
    std::vector<char> printed(4 << 20), made(4 << 20);
    std::vector<double> ratios, printfMs, handMs;
    size_t printedBytes = 0, madeBytes = 0;
    for (int round = 0; round < cfg.runs(21); ++round) {
        printfMs.push_back(cpuMsPerCapture(byPrintf, signals, printed, printedBytes));
        handMs.push_back(cpuMsPerCapture(byHand, signals, made, madeBytes));
        ratios.push_back(printfMs.back() / handMs.back());
    }
    const bool same =
        printedBytes == madeBytes && std::equal(printed.begin(), printed.begin() + long(printedBytes), made.begin());
    const Summary s = summarize(ratios);
    report.add({"P1", "scopeReadDual sample lines, printf / by hand", s, "ratio", 2, ">= 3", same && s.median >= 3});
    char note[256];
    snprintf(note, sizeof note,
             "P1 scopeReadDual sample lines: the 12000 lines of one capture (%zu bytes%s) take %.3f ms of "
             "processor time by printf, %.3f ms as the capture makes them (medians)",
             madeBytes, same ? ", the same by both" : ", NOT the same by both", summarize(printfMs).median,
             summarize(handMs).median);
    report.note(note);
}

}  // namespace bc::benchmarks
