// The adapter, I2C-device and LED routines driven by arbitrary reply bytes
// of arbitrary lengths through the simulated port in virtual time, with
// arbitrary arguments: one to four routines a run, all reading from one
// stream of replies as they would from one adapter.
//
// Input: a byte for the number of calls, then per call an operation byte
// and sixteen argument bytes, then the replies (see queueReplies).
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "iss/adapter_commands.h"
#include "iss/plot_device.h"
#include "iss/range_finder.h"
#include "iss/text_panel.h"
#include "led/max7219_setup.h"
#include "led/max7219_transfer.h"
#include "serial/com_port.h"
#include "serial/transfer.h"
#include "testkit/seam_harness.h"

namespace {

using bc::fuzz::expect;
using bc::fuzz::Input;

constexpr size_t kArgBytes = 16;

// Runs a routine that never returns for a while of virtual time.
template <typename F>
void runFor(bc::sim::SeamHarness& bench, int64_t ms, F routine) {
    bench.stopAfter(ms);
    try {
        routine();
    } catch (const bc::sim::TimeUp&) {}
    bench.clock.stopAt = -1;
}

void panelText(Input& a) {
    const int lead = a.i32();
    // Up to 300 characters: past the 254 a frame's count byte can carry.
    const std::string text = std::string(a.u16() % 301, char(a.byte()));
    auto exact = std::make_unique<char[]>(text.size() + 1);
    memcpy(exact.get(), text.c_str(), text.size() + 1);
    bc::panelWriteText(0, lead, exact.get());
}

// A register sequence of up to four words from the input, ended by -1.
void sequence(Input& a) {
    int words[5];
    const int n = a.byte() % 5;
    for (int i = 0; i < n; ++i) {
        words[i] = a.i32();
        if (words[i] == -1) words[i] = 0;
    }
    words[n] = -1;
    bc::sendMax7219Sequence(0, a.i32(), words);
}

void call(bc::sim::SeamHarness& bench, uint8_t op, Input& a) {
    switch (op % 20) {
    case 0: bc::issVersion(a.i32()); break;
    case 1: bc::issSerialNumber(0); break;
    case 2: bc::issSetIoMode(0, a.i32()); break;
    case 3: bc::issChangeIoMode(0, a.i32()); break;
    case 4: bc::issCmd5A10(0, a.i32()); break;
    case 5: bc::issRead5A12(0); break;
    case 6: bc::issSetPins(0, a.i32()); break;
    case 7: bc::srf08Range(0); break;
    case 8: {
        const int keys = bc::setModeIICpollDisp(0, a.i32());
        expect(keys >= 0 && keys <= 255, "the key state is one byte");
        break;
    }
    case 9: bc::ppSendPattern(0); break;
    case 10: {
        const int x = a.i32(), y = a.i32(), v1 = a.i32(), v2 = a.byte(), v3 = a.byte();
        bc::ppSendPoint(0, x, y, v1, v2, v3);
        break;
    }
    case 11: panelText(a); break;
    case 12: bc::sendMax7219Word(0, a.i32()); break;
    case 13: {
        const int x = a.i32(), y = a.i32();
        bc::sendMAX2719xyz(0, x, y, a.i32());
        break;
    }
    case 14: {
        const int lo = a.i32(), hi = a.i32();
        const int v = bc::leBytesToInt(lo, hi);
        expect(v >= 0 && v <= 65535, "leBytesToInt lies in 0..65535");
        break;
    }
    case 15: {
        // The raw frame-buffer transfers with any count, negative or past the buffer.
        const int out = a.i32(), back = a.i32();
        bc::writeIoBuf(0, out);
        bc::readIoBuf(0, back);
        break;
    }
    case 16: runFor(bench, 3000, [] { bc::panelKeyDemo(0); }); break;
    case 17: runFor(bench, 3000, [] { bc::ppCircleDemo(0); }); break;
    case 18: bc::walkMax7219Pins(0); break;
    default: sequence(a); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // A handful of adapter replies; the demonstrations' runs take longest.
    bc::fuzz::startUp(argc, argv, {"-max_len=1024", "-entropic_scale_per_exec_time=1"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    bc::sim::SeamHarness bench;
    bc::openPort(9, 19200, 'N', '8');

    uint8_t plan[4][1 + kArgBytes];
    const int calls = 1 + in.byte() % 4;
    for (int i = 0; i < calls; ++i)
        for (uint8_t& b : plan[i]) b = in.byte();
    bc::fuzz::queueReplies(in, bench.port, bench.now());

    for (int i = 0; i < calls; ++i) {
        Input args(plan[i] + 1, kArgBytes);
        call(bench, plan[i][0], args);
    }
    return 0;
}
