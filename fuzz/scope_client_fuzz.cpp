// The oscilloscope client driven by arbitrary device bytes through the
// simulated port in virtual time: numeric queries, counted reads, the
// set-up sequence and both captures, one to four calls a run, all reading
// from one stream of replies as they would from one instrument.
//
// A capture formats some 12000 lines (console plot, CSV rows, chart calls),
// a few milliseconds however its bytes are made; the reads and queries
// around it take microseconds. So that the fuzzer spends its runs on what
// the device's bytes steer, a run makes at most one capture, and a capture
// operation is one in eight: a later capture operation in the same run is a
// counted read instead.
//
// Input: a byte for the number of calls, then per call an operation byte
// and three argument bytes, then the replies (see queueScopeReplies).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "fuzz/capture_files.h"
#include "fuzz/fuzz_support.h"
#include "scope/capture_file.h"
#include "scope/command_channel.h"
#include "scope/dual_capture.h"
#include "scope/scope_interface.h"
#include "scope/sequences.h"
#include "scope/single_capture.h"
#include "serial/com_port.h"
#include "testkit/seam_harness.h"

namespace {

using bc::fuzz::expect;
using bc::fuzz::Input;

const char kEnd[] = "===========================\n";

const char* const kQueries[] = {
    bc::scopeCmdIdentify,         bc::scopeCmdLearnQuery,   bc::scopeCmdSystemError,
    bc::scopeCmdTriggerFrequency, bc::scopeQryTriggerLevel, bc::scopeQryProbe1,
    bc::scopeQryScale2,           bc::scopeQryOffset1,      bc::scopeQryTimebaseSweep,
};

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
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

// A fault byte with bit 7 set makes one of the capture's files fail: with
// bit 6 clear the first (the CSV file), with it set the second (the chart
// script, in a dual capture); with bit 5 set its open is refused, else it
// fills up after 2 KB times bits 0 to 4 (if it is that long). Returns the
// file chosen, or null.
const char* injectFault(uint8_t fault, const char* first, const char* second) {
    if (!(fault & 0x80)) return nullptr;
    const char* name = fault & 0x40 && second ? second : first;
    if (fault & 0x20)
        bc::fuzz::refuseCaptureFile(name);
    else
        bc::fuzz::fillCaptureFileAfter(name, 2048 * size_t(fault & 0x1F));
    return name;
}

// A capture file that failed is said to have failed, and only then; one
// that did not is whole. Every line of a single-channel file is the tool's
// own: 16 head lines, 4000 samples and the end line, whatever the
// instrument said.
void singleCapture(Input& in) {
    const uint8_t choice = in.byte(), other = in.byte(), fault = in.byte();
    const int channel = choice & 1 ? bc::scopeChannel1 : int(other);
    const char* name = channel == bc::scopeChannel1 ? "./op_scope1.csv" : "./op_scope2.csv";
    injectFault(fault, name, nullptr);
    {
        bc::fuzz::QuietStderr quiet;
        bc::scopeReadAquire(0, channel);
    }
    expect(bc::captureFileFailed == bc::fuzz::captureFileFaulted(), "a failed capture file is said, and only then");
    if (bc::fuzz::captureFileFaulted()) return;
    const std::string& csv = bc::fuzz::captureFileText(name);
    expect(bc::fuzz::lineCount(csv) == 4017, "single capture file has 4017 lines");
    expect(endsWith(csv, kEnd), "single capture file ends with its end line");
}

// The dual capture's files, each unless it failed: after the learn string
// (whatever it holds) the CSV file ends with "Waveform Data," and 4000 rows
// of two numbers and the end line; the chart script has 9 head lines and
// 4000 gbF lines.
void dualCapture(Input& in) {
    const uint8_t choice = in.byte();
    in.byte();
    const char* failing = injectFault(in.byte(), "./op_scope.csv", "./gbookFtemp.js");
    {
        bc::fuzz::QuietStderr quiet;
        bc::scopeReadDual(0, choice & 1 ? bc::scopeChannel1 : bc::scopeChannel2);
    }
    expect(bc::captureFileFailed == bc::fuzz::captureFileFaulted(), "a failed capture file is said, and only then");
    if (!bc::fuzz::captureFileFaulted() || strcmp(failing, "./op_scope.csv") != 0) {
        const std::string& csv = bc::fuzz::captureFileText("./op_scope.csv");
        expect(endsWith(csv, kEnd), "dual CSV file ends with its end line");
        const size_t rows = bc::fuzz::lastLinesAt(csv, 4002);
        expect(rows != std::string::npos && csv.compare(rows, 15, "Waveform Data,\n") == 0,
               "dual CSV file has its 4000 sample rows after \"Waveform Data,\"");
    }
    if (!bc::fuzz::captureFileFaulted() || strcmp(failing, "./gbookFtemp.js") != 0) {
        const std::string& js = bc::fuzz::captureFileText("./gbookFtemp.js");
        expect(bc::fuzz::lineCount(js) == 4009, "chart script has 4009 lines");
        expect(endsWith(js, ",0,0,'3999');\n"), "chart script ends with sample 3999");
    }
}

// A whole 8014-byte waveform block from a few input bytes: the six header
// characters, the period, the channel byte and the three bytes after it
// as given, then 8000 bulk bytes from a pattern of one to sixteen bytes.
std::string wholeBlock(Input& in) {
    std::string block = in.bytes(14);
    block.resize(14, '\0');
    const std::string pattern = in.bytes(1 + in.byte() % 16);
    return block + bc::fuzz::bulkBytes(pattern, 2 * bc::scopeBlockSampleCount);
}

// A run of up to 9000 bulk bytes from a one-byte pattern.
std::string bulkRun(Input& in) {
    const size_t length = std::min<size_t>(in.u16(), 9000);
    return bc::fuzz::bulkBytes(in.bytes(1), length);
}

// The replies, each piece a header byte and its bytes. The header's low
// three bits choose the pause before the piece, as in queueReplies; with
// bit 4 set the piece is a whole block (wholeBlock), else with bit 3 set a
// run of bulk bytes (bulkRun, see bulkBytes), else a length byte and that
// many bytes as they are. Long replies are made of bulk bytes on purpose:
// a channel 1 sample of a large value plots a console line up to 16 KB
// wide, some 40 us of formatting, and a few hundred of them would make one
// run cost as much as a thousand others. Samples of any value still come,
// as many as raw bytes can carry.
void queueScopeReplies(Input& in, bc::sim::SimPort& port, int64_t at) {
    while (!in.empty() && port.pendingBytes() < bc::fuzz::kMostQueued) {
        const uint8_t head = in.byte();
        at += bc::fuzz::gapOf(head);
        if (head & 0x10)
            port.send(wholeBlock(in), at);
        else if (head & 0x08)
            port.send(bulkRun(in), at);
        else
            port.send(in.bytes(in.byte()), at);
    }
}

}  // namespace

// AddressSanitizer's check of every printf argument re-reads each format:
// with some 12000 formatted lines a capture, that was two fifths of every
// run. The formats are the tool's own constants, and every text printed
// with %s is a constant or a buffer the routine has terminated itself (the
// learn_string target keeps the check, on lrnDump's printing of device
// text); every other check of both sanitizers stays.
extern "C" const char* __asan_default_options() { return "check_printf=0"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Room for a learn string and a few replies as they are; long replies
    // are made of bulk bytes. Runs that capture take longest, and are
    // mutated less often than the others.
    bc::fuzz::startUp(argc, argv, {"-max_len=900", "-entropic_scale_per_exec_time=1"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    bc::fuzz::resetCaptureFiles();
    bc::captureFileFailed = false;
    bc::sim::SeamHarness bench;
    bc::openPort(9, 19200, 'N', '8');

    uint8_t plan[4][4];
    const int calls = 1 + in.byte() % 4;
    for (int i = 0; i < calls; ++i)
        for (uint8_t& b : plan[i]) b = in.byte();
    queueScopeReplies(in, bench.port, bench.now());

    bool captured = false;
    for (int i = 0; i < calls; ++i) {
        Input args(plan[i] + 1, sizeof plan[i] - 1);
        int op = plan[i][0] % 8;
        if (op >= 6 && captured) op = 3;
        switch (op) {
        case 0:
        case 1:
        case 2: query(args); break;
        case 3:
        case 4: countedRead(args); break;
        case 5: bc::scopeSetup(0); break;
        case 6: singleCapture(args), captured = true; break;
        default: dualCapture(args), captured = true; break;
        }
    }
    return 0;
}
