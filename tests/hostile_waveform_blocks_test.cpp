// Waveform blocks that come short, not at all, or in many small pieces with
// pauses just under and just over the 100 ms interval time-out. What the
// counted read makes of them follows from the serial driver's time-out
// rules alone, so the expected trace is worked out here from those rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "scope/command_channel.h"
#include "scope/dual_capture.h"
#include "scope/scope_interface.h"
#include "tests/scope_fixture.h"

namespace bc {
namespace {

using test::fmt;
using test::InScratchDir;
using test::lines;
using test::readFile;
using test::ScopeBench;
using test::StdoutCapture;

constexpr int64_t kInterval = 100;       // ms after the last byte
constexpr int64_t kTotalConstant = 100;  // ms, plus 1 ms per byte asked for

struct CountRdOutcome {
    std::vector<std::string> trace;
    DWORD got = 0;
    int64_t endsAt = 0;
};

// count_rd by its definition over the driver's rules: each read asks for
// what is still wanted and ends when that has come, kInterval after its
// last byte, or kTotalConstant + 1 ms per byte asked for after it began;
// a byte arriving exactly at a limit is still taken. Bytes that arrived
// before a read began are there at its start.
CountRdOutcome countRdByTheRules(const std::vector<int64_t>& arrivals, int64_t start, DWORD wanted) {
    CountRdOutcome o;
    int64_t now = start;
    size_t next = 0;
    int tries = 2;
    for (bool more = true; more;) {
        const DWORD ask = wanted - o.got;
        const int64_t totalEnd = now + kTotalConstant + ask;
        DWORD n = 0;
        int64_t last = now;
        while (n < ask && next < arrivals.size()) {
            const int64_t at = std::max(arrivals[next], now);
            const int64_t limit = n == 0 ? totalEnd : std::min(totalEnd, last + kInterval);
            if (at > limit) break;
            last = at;
            ++n;
            ++next;
        }
        if (n == ask) now = last;
        else now = n == 0 ? totalEnd : std::min(totalEnd, last + kInterval);
        if (n > 0) {
            o.got += n;
            more = o.got < wanted;
        } else {
            more = --tries != 0;
        }
        o.trace.push_back(fmt("count_rd: %d countGot: %d want: %d loop: %d", int(n), int(o.got),
                              int(wanted), tries));
    }
    o.endsAt = now;
    return o;
}

// Queues `bytes` in pieces of `piece` bytes, `gapMs` apart from `first` on,
// and returns each byte's arrival time.
std::vector<int64_t> sendInPieces(ScopeBench& s, const std::string& bytes, size_t piece, int64_t gapMs,
                                  int64_t first) {
    s.bench.port.sendInPieces(bytes, piece, gapMs, first);
    std::vector<int64_t> arrivals;
    for (size_t i = 0; i < bytes.size(); ++i) arrivals.push_back(first + int64_t(i / piece) * gapMs);
    return arrivals;
}

struct CountRdRun {
    CountRdOutcome outcome;
    std::string data;
};

CountRdRun runCountRd(ScopeBench& s, DWORD wanted) {
    std::string buffer(wanted, '\0');
    StdoutCapture out;
    CountRdRun run;
    run.outcome.got = count_rd(0, "", buffer.data(), wanted);
    run.outcome.trace = lines(out.take());
    run.outcome.endsAt = s.bench.now();
    run.data = buffer.substr(0, run.outcome.got);
    return run;
}

std::string someBlock() {
    std::vector<int> samples;
    for (int n = 0; n < 4000; ++n) samples.push_back((n * 37) % 256 - 128);
    return test::makeBlock(2.5e-9f, 1, samples);
}

TEST(HostileWaveformBlocks, PiecesJustUnderTheIntervalMergeIntoReadsCutByTheTotalTimeOut) {
    const std::string block = someBlock();
    for (size_t piece : {size_t(50), size_t(400), size_t(1000)}) {
        ScopeBench s(false);
        const int64_t start = s.bench.now();
        const auto arrivals = sendInPieces(s, block, piece, 99, start + 5);
        const CountRdOutcome want = countRdByTheRules(arrivals, start, scopeBlockSize);
        const CountRdRun run = runCountRd(s, scopeBlockSize);
        EXPECT_EQ(run.outcome.trace, want.trace) << piece;
        EXPECT_EQ(run.outcome.endsAt, want.endsAt) << piece;
        EXPECT_EQ(run.outcome.got, scopeBlockSize);
        EXPECT_EQ(run.data, block);
        // A pause under the interval never ends a read: pieces run together
        // until a read's total time-out (or the whole block) ends it.
        const size_t pieces = (block.size() + piece - 1) / piece;
        EXPECT_LT(want.trace.size(), pieces) << piece;
        for (const std::string& line : run.outcome.trace) EXPECT_TRUE(line.ends_with(" loop: 2")) << line;
    }
}

TEST(HostileWaveformBlocks, PiecesJustOverTheIntervalEndOneReadEach) {
    const std::string block = someBlock();
    for (size_t piece : {size_t(50), size_t(1000)}) {
        ScopeBench s(false);
        const int64_t start = s.bench.now();
        const auto arrivals = sendInPieces(s, block, piece, 101, start + 5);
        const CountRdRun run = runCountRd(s, scopeBlockSize);
        EXPECT_EQ(run.outcome.trace, countRdByTheRules(arrivals, start, scopeBlockSize).trace);
        EXPECT_EQ(run.data, block);
        // Each piece is a read of its own: the running count goes up by one
        // piece a line, and no read comes back empty.
        const size_t pieces = (block.size() + piece - 1) / piece;
        ASSERT_EQ(run.outcome.trace.size(), pieces);
        for (size_t i = 0; i < pieces; ++i) {
            const size_t got = std::min(piece, block.size() - i * piece);
            EXPECT_EQ(run.outcome.trace[i], fmt("count_rd: %d countGot: %d want: 8014 loop: 2", int(got),
                                                int(std::min(block.size(), (i + 1) * piece))));
        }
        // It returns as the last byte comes, without a further read.
        EXPECT_EQ(run.outcome.endsAt, arrivals.back());
    }
}

TEST(HostileWaveformBlocks, AShortBlockEndsAfterTwoEmptyReadsAndAMissingOneAfterTwoTotalTimeOuts) {
    const std::string block = someBlock().substr(0, 14 + 2 * 25);
    {
        ScopeBench s(false);
        const int64_t start = s.bench.now();
        s.bench.port.send(block, start + 5);
        const CountRdRun run = runCountRd(s, scopeBlockSize);
        EXPECT_EQ(run.outcome.trace, (std::vector<std::string>{"count_rd: 64 countGot: 64 want: 8014 loop: 2",
                                                               "count_rd: 0 countGot: 64 want: 8014 loop: 1",
                                                               "count_rd: 0 countGot: 64 want: 8014 loop: 0"}));
        EXPECT_EQ(run.data, block);
        // 100 ms after the piece, then two reads of 100 + 7950 ms that bring nothing.
        EXPECT_EQ(run.outcome.endsAt, start + 5 + 100 + 2 * (100 + 8014 - 64));
    }
    {
        ScopeBench s(false);
        const int64_t start = s.bench.now();
        const CountRdRun run = runCountRd(s, scopeBlockSize);
        EXPECT_EQ(run.outcome.trace, (std::vector<std::string>{"count_rd: 0 countGot: 0 want: 8014 loop: 1",
                                                               "count_rd: 0 countGot: 0 want: 8014 loop: 0"}));
        EXPECT_EQ(run.outcome.got, 0u);
        EXPECT_EQ(run.outcome.endsAt, start + 2 * (100 + 8014));
    }
}

// The dual capture as a whole, its three replies each in small pieces: the
// files still hold the learn string, the instrument's settings and both
// channels' samples, whichever side of the interval the pauses fall.
TEST(HostileWaveformBlocks, ADualCaptureInSmallPiecesStillWritesTheInstrumentsSamples) {
    for (int64_t gap : {int64_t(99), int64_t(101)}) {
        InScratchDir dir;
        ScopeBench s;
        s.model.faults.pieceBytes = 97;
        s.model.faults.pieceGapMs = gap;
        s.model.settings.channel[0].scale = 0.5f;
        StdoutCapture out;
        scopeReadDual(0, scopeChannel1);
        const std::string console = out.take();
        EXPECT_NE(console.find("count_rd: 8014 8014 \n"), std::string::npos) << gap;
        const auto csv = lines(readFile("op_scope.csv"));
        ASSERT_GT(csv.size(), 4020u);
        EXPECT_EQ(csv.back(), "===========================");
        for (size_t n = 0; n < 4000; ++n)
            ASSERT_EQ(csv[csv.size() - 4001 + n], fmt("%3d,%3d", int(s.model.lastSamples[0][n]),
                                                      int(s.model.lastSamples[1][n])))
                << "gap " << gap << ", sample " << n;
        EXPECT_NE(std::find(csv.begin(), csv.end(), "Vertical Scale,5.000E-01,"), csv.end()) << gap;
        const auto js = lines(readFile("gbookFtemp.js"));
        ASSERT_EQ(js.size(), 4009u);
        EXPECT_EQ(js[1], "var Vertical1Scale=      0.5");
    }
}

}  // namespace
}  // namespace bc
