// What every fuzz target shares: a quiet start, the device's reply bytes
// queued on the simulated port in timed pieces, and the checks that end a
// run as a crash.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "fuzz/fuzz_input.h"
#include "sim/sim_port.h"

namespace bc::fuzz {

// Called from LLVMFuzzerInitialize, before the fuzzer reads its arguments:
// standard output to /dev/null (the routines print a great deal, and the
// fuzzer should spend its time on them, not on a terminal). The capture
// files never reach the file system (see capture_files.h). With
// BENCHCOM_FUZZ_VERBOSE set in the environment, standard output stays
// open: the way to watch what one input (a crash's, say) makes the routines
// do. `defaults` are libFuzzer flags ("-max_len=900") the target is run
// with unless the command line gives them, so that a target called
// directly fuzzes as fuzz/run.sh does.
void startUp(int* argc, char*** argv, std::initializer_list<const char*> defaults);

// Queues the rest of the input as the device's bytes, arriving from `start`
// on. Each piece is a header byte and its bytes: the header's low three bits
// choose the pause before the piece (0, 1, 50, 99, 100, 101, 250 or
// 1500 ms: around the 100 ms interval time-out and past the 600 ms waits);
// with bit 3 clear the next byte is a length and that many bytes follow;
// with bit 3 set the next two bytes are a length (at most 9000) and one
// byte the value repeated, so that a small input can still make a long
// reply. Pieces past 96 KiB in all are not sent.
void queueReplies(Input& in, sim::SimPort& port, int64_t start);

// The pause a piece's header byte chooses, in milliseconds.
int64_t gapOf(uint8_t head);
// Pieces are queued until this many bytes are on their way.
inline constexpr size_t kMostQueued = 96 * 1024;

// `length` bytes, each 0x00 or 0xFF, one a bit of `pattern` in turn
// (all 0x00 for an empty pattern): whatever pair of them a reader takes for
// a 16-bit sample, however a stray byte has put the stream out of step, the
// sample is one of 0, -1, 255 and -256.
std::string bulkBytes(const std::string& pattern, size_t length);

// Ends the run as a crash, with the reason on standard error, when `ok` is false.
void expect(bool ok, const char* what);

// While one lives, what the routines write to standard error is discarded
// (a capture names each file that failed there, in every such run); the
// sanitizers' reports and failed checks still reach it. With
// BENCHCOM_FUZZ_VERBOSE set nothing is discarded.
class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_ = -1;
};

// The number of "\n" in `text`.
size_t lineCount(const std::string& text);

// Where the last `n` lines of `text` (which ends with "\n") begin, or
// npos when it has fewer.
size_t lastLinesAt(const std::string& text, size_t n);

}  // namespace bc::fuzz
