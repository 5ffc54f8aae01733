// Waveform blocks that come short, not at all, or in many small pieces with
// pauses just under and just over the 100 ms interval time-out. What the
// counted read makes of them follows from the serial driver's time-out
// rules alone (a read ends when its count has come, 100 ms after its last
// byte, or 100 ms + 1 ms per byte asked for after it began), so each
// expected trace below is worked out by hand from those rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "scope/command_channel.h"
#include "scope/dual_capture.h"
#include "scope/scope_interface.h"
#include "tests/support/scope_fixture.h"

namespace bc {
namespace {

using test::fmt;
using test::InScratchDir;
using test::lines;
using test::readFile;
using test::ScopeBench;
using test::StdoutCapture;

using Trace = std::vector<std::string>;

// Queues `bytes` in pieces of `piece` bytes, `gapMs` apart from `first` on,
// and returns each byte's arrival time.
std::vector<int64_t> sendInPieces(ScopeBench& s, const std::string& bytes, size_t piece, int64_t gapMs, int64_t first) {
    s.bench.port.sendInPieces(bytes, piece, gapMs, first);
    std::vector<int64_t> arrivals;
    for (size_t i = 0; i < bytes.size(); ++i) arrivals.push_back(first + int64_t(i / piece) * gapMs);
    return arrivals;
}

struct CountRdRun {
    Trace trace;
    DWORD got = 0;
    int64_t endsAt = 0;
    std::string data;
};

CountRdRun runCountRd(ScopeBench& s, DWORD wanted) {
    std::string buffer(wanted, '\0');
    StdoutCapture out;
    CountRdRun run;
    run.got = count_rd(0, "", buffer.data(), wanted);
    run.trace = lines(out.take());
    run.endsAt = s.bench.now();
    run.data = buffer.substr(0, run.got);
    return run;
}

std::string someBlock() {
    std::vector<int> samples;
    for (int n = 0; n < 4000; ++n) samples.push_back((n * 37) % 256 - 128);
    return test::makeBlock(2.5e-9f, 1, samples);
}

// Pieces 99 ms apart from t = 5 ms: a pause under the interval never ends a
// read, so pieces run together until a read's total time-out (or the whole
// block) ends it.
//
// 400-byte pieces: 21 of them (the last 14 bytes), the last at 5 + 20 x 99 =
// 1985 ms, well inside the first read's 100 + 8014 ms: one read. Likewise
// 1000-byte pieces: 9, the last at 5 + 8 x 99 = 797 ms.
//
// 50-byte pieces: 161 (the last 14 bytes), piece i at 5 + 99 i ms. Each read
// takes the pieces up to its total time-out, start + 100 + the bytes still
// wanted, and ends there (the next piece is due after that):
//   read 1 from 0: limit 8114, pieces 0-81 (the last at 8024): 4100 bytes
//   read 2 from 8114: asks 3914, limit 12128, pieces 82-122: 2050 bytes
//   read 3 from 12128: asks 1864, limit 14092, pieces 123-142: 1000 bytes
//   read 4 from 14092: asks 864, limit 15056, pieces 143-152: 500 bytes
//   read 5 from 15056: asks 364, limit 15520, pieces 153-156: 200 bytes
//   read 6 from 15520: asks 164, limit 15784, pieces 157-159: 150 bytes
//   read 7 from 15784: asks 14, limit 15898; piece 160 at 15845 completes it
TEST(HostileWaveformBlocks, PiecesJustUnderTheIntervalMergeIntoReadsCutByTheTotalTimeOut) {
    struct Case {
        size_t piece;
        Trace trace;
        int64_t endsAt;
    };
    const std::string whole = "count_rd: 8014 countGot: 8014 want: 8014 loop: 2";
    const Case cases[] = {
        {1000, {whole}, 797},
        {400, {whole}, 1985},
        {50,
         {"count_rd: 4100 countGot: 4100 want: 8014 loop: 2", "count_rd: 2050 countGot: 6150 want: 8014 loop: 2",
          "count_rd: 1000 countGot: 7150 want: 8014 loop: 2", "count_rd: 500 countGot: 7650 want: 8014 loop: 2",
          "count_rd: 200 countGot: 7850 want: 8014 loop: 2", "count_rd: 150 countGot: 8000 want: 8014 loop: 2",
          "count_rd: 14 countGot: 8014 want: 8014 loop: 2"},
         15845},
    };
    const std::string block = someBlock();
    for (const Case& c : cases) {
        ScopeBench s(false);
        const int64_t start = s.bench.now();
        sendInPieces(s, block, c.piece, 99, start + 5);
        const CountRdRun run = runCountRd(s, scopeBlockSize);
        EXPECT_EQ(run.trace, c.trace) << c.piece;
        EXPECT_EQ(run.endsAt, start + c.endsAt) << c.piece;
        EXPECT_EQ(run.got, scopeBlockSize);
        EXPECT_EQ(run.data, block);
    }
}

TEST(HostileWaveformBlocks, PiecesJustOverTheIntervalEndOneReadEach) {
    const std::string block = someBlock();
    for (size_t piece : {size_t(50), size_t(1000)}) {
        ScopeBench s(false);
        const int64_t start = s.bench.now();
        const auto arrivals = sendInPieces(s, block, piece, 101, start + 5);
        const CountRdRun run = runCountRd(s, scopeBlockSize);
        EXPECT_EQ(run.data, block);
        // Each piece is a read of its own: the running count goes up by one
        // piece a line, and no read comes back empty.
        const size_t pieces = (block.size() + piece - 1) / piece;
        ASSERT_EQ(run.trace.size(), pieces);
        for (size_t i = 0; i < pieces; ++i) {
            const size_t got = std::min(piece, block.size() - i * piece);
            EXPECT_EQ(run.trace[i], fmt("count_rd: %d countGot: %d want: 8014 loop: 2", int(got),
                                        int(std::min(block.size(), (i + 1) * piece))));
        }
        // It returns as the last byte comes, without a further read.
        EXPECT_EQ(run.endsAt, arrivals.back());
    }
}

TEST(HostileWaveformBlocks, AShortBlockEndsAfterTwoEmptyReadsAndAMissingOneAfterTwoTotalTimeOuts) {
    const std::string block = someBlock().substr(0, 14 + 2 * 25);
    {
        ScopeBench s(false);
        const int64_t start = s.bench.now();
        s.bench.port.send(block, start + 5);
        const CountRdRun run = runCountRd(s, scopeBlockSize);
        EXPECT_EQ(run.trace, (std::vector<std::string>{"count_rd: 64 countGot: 64 want: 8014 loop: 2",
                                                       "count_rd: 0 countGot: 64 want: 8014 loop: 1",
                                                       "count_rd: 0 countGot: 64 want: 8014 loop: 0"}));
        EXPECT_EQ(run.data, block);
        // 100 ms after the piece, then two reads of 100 + 7950 ms that bring nothing.
        EXPECT_EQ(run.endsAt, start + 5 + 100 + 2 * (100 + 8014 - 64));
    }
    {
        ScopeBench s(false);
        const int64_t start = s.bench.now();
        const CountRdRun run = runCountRd(s, scopeBlockSize);
        EXPECT_EQ(run.trace, (std::vector<std::string>{"count_rd: 0 countGot: 0 want: 8014 loop: 1",
                                                       "count_rd: 0 countGot: 0 want: 8014 loop: 0"}));
        EXPECT_EQ(run.got, 0u);
        EXPECT_EQ(run.endsAt, start + 2 * (100 + 8014));
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
            ASSERT_EQ(csv[csv.size() - 4001 + n],
                      fmt("%3d,%3d", int(s.model.lastSamples[0][n]), int(s.model.lastSamples[1][n])))
                << "gap " << gap << ", sample " << n;
        EXPECT_NE(std::find(csv.begin(), csv.end(), "Vertical Scale,5.000E-01,"), csv.end()) << gap;
        const auto js = lines(readFile("gbookFtemp.js"));
        ASSERT_EQ(js.size(), 4009u);
        EXPECT_EQ(js[1], "var Vertical1Scale=      0.5");
    }
}

}  // namespace
}  // namespace bc
