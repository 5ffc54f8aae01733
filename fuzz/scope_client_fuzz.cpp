// The oscilloscope client driven by arbitrary device bytes through the
// simulated port in virtual time: numeric queries, counted reads and both
// captures, one to three of them a run, all reading from one stream of
// replies as they would from one instrument.
//
// Input: a byte for the number of calls, then per call an operation byte
// and its arguments, then the replies (see queueReplies).
#include <cstdio>
#include <cstring>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "scope/command_channel.h"
#include "scope/dual_capture.h"
#include "scope/scope_interface.h"
#include "scope/single_capture.h"
#include "serial/port.h"
#include "sim/seam_harness.h"

namespace {

using bc::fuzz::expect;
using bc::fuzz::fileText;
using bc::fuzz::Input;

const char kEnd[] = "===========================\n";

const char* const kQueries[] = {
    bc::scopeCmdIdentify,      bc::scopeCmdLearnQuery,     bc::scopeCmdSystemError,
    bc::scopeCmdTriggerFrequency, bc::scopeQryTriggerLevel, bc::scopeQryProbe1,
    bc::scopeQryScale2,        bc::scopeQryOffset1,        bc::scopeQryTimebaseSweep,
};

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The last `n` lines of `text` start at the returned offset (npos when
// there are fewer).
size_t lastLinesAt(const std::string& text, size_t n) {
    size_t at = text.size();
    for (size_t i = 0; i <= n; ++i) {
        if (at == 0) return i == n ? 0 : std::string::npos;
        at = text.rfind('\n', at - 1);
        if (at == std::string::npos) return i == n ? 0 : std::string::npos;
    }
    return at + 1;
}

void query(Input& in) {
    const char* q = kQueries[in.byte() % std::size(kQueries)];
    bc::scopeQueryValue(0, q);
    expect(bc::iQueryBytesRead <= bc::scopeQueryReadMax, "a query reads at most 999 bytes");
}

void countedRead(Input& in) {
    const DWORD wanted = in.u16() % 9001;
    // Exactly as long as asked for: a byte written past it is caught.
    auto buffer = std::make_unique<unsigned char[]>(wanted ? wanted : 1);
    expect(bc::count_rd(0, "", buffer.get(), wanted) <= wanted, "count_rd returns at most what was wanted");
}

// Every line of a single-channel file is the tool's own: 16 head lines, 4000
// samples and the end line, whatever the instrument said.
void singleCapture(Input& in) {
    const int channel = in.byte() & 1 ? bc::scopeChannel1 : int(in.byte());
    bc::scopeReadAquire(0, channel);
    const std::string csv = fileText(channel == bc::scopeChannel1 ? "./op_scope1.csv" : "./op_scope2.csv");
    expect(bc::fuzz::lineCount(csv) == 4017, "single capture file has 4017 lines");
    expect(endsWith(csv, kEnd), "single capture file ends with its end line");
}

// The dual capture's files: after the learn string (whatever it holds) the
// CSV file ends with "Waveform Data," and 4000 rows of two numbers and the
// end line; the chart script has 9 head lines and 4000 gbF lines.
void dualCapture(Input& in) {
    bc::scopeReadDual(0, in.byte() & 1 ? bc::scopeChannel1 : bc::scopeChannel2);
    const std::string csv = fileText("./op_scope.csv");
    expect(endsWith(csv, kEnd), "dual CSV file ends with its end line");
    const size_t rows = lastLinesAt(csv, 4002);
    expect(rows != std::string::npos && csv.compare(rows, 15, "Waveform Data,\n") == 0,
           "dual CSV file has its 4000 sample rows after \"Waveform Data,\"");
    const std::string js = fileText("./gbookFtemp.js");
    expect(bc::fuzz::lineCount(js) == 4009, "chart script has 4009 lines");
    expect(endsWith(js, ",0,0,'3999');\n"), "chart script ends with sample 3999");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    bc::fuzz::startUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    bc::sim::SeamHarness bench;
    bc::openPort(9, 19200, 'N', '8');

    uint8_t plan[3][4];
    const int calls = 1 + in.byte() % 3;
    for (int i = 0; i < calls; ++i)
        for (uint8_t& b : plan[i]) b = in.byte();
    bc::fuzz::queueReplies(in, bench.port, bench.now());

    for (int i = 0; i < calls; ++i) {
        Input args(plan[i] + 1, sizeof plan[i] - 1);
        switch (plan[i][0] % 4) {
        case 0: query(args); break;
        case 1: countedRead(args); break;
        case 2: singleCapture(args); break;
        default: dualCapture(args); break;
        }
    }
    return 0;
}
