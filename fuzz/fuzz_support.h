// What every fuzz target shares: a quiet start in a scratch directory, the
// device's reply bytes queued on the simulated port in timed pieces, and the
// checks that end a run as a crash.
#pragma once

#include <cstdint>
#include <string>

#include "fuzz/fuzz_input.h"
#include "sim/sim_port.h"

namespace bc::fuzz {

// Called from LLVMFuzzerInitialize, before the fuzzer reads its arguments:
// standard output to /dev/null (the routines print a great deal, and the
// fuzzer should spend its time on them, not on a terminal), and a fresh
// scratch directory as the current directory, so that the captures'
// "./..." files land there; removed again at exit. The corpus directories,
// input files and artifact paths named on the command line are made
// absolute first, so that they still name the same places.
// With BENCHCOM_FUZZ_VERBOSE set in the environment, standard output stays
// open: the way to watch what one input (a crash's, say) makes the routines do.
void startUp(int* argc, char*** argv);

// Queues the rest of the input as the device's bytes, arriving from `start`
// on. Each piece is a header byte and its bytes: the header's low three bits
// choose the pause before the piece (0, 1, 50, 99, 100, 101, 250 or
// 1500 ms: around the 100 ms interval time-out and past the 600 ms waits);
// with bit 3 clear the next byte is a length and that many bytes follow;
// with bit 3 set the next two bytes are a length (at most 9000) and one
// byte the value repeated, so that a small input can still make a whole
// 8014-byte waveform block. Pieces past 96 KiB in all are not sent.
void queueReplies(Input& in, sim::SimPort& port, int64_t start);

// Ends the run as a crash, with the reason on standard error, when `ok` is false.
void expect(bool ok, const char* what);

// The whole content of a file ("" when it cannot be read).
std::string fileText(const char* name);

// The number of "\n" in `text`.
size_t lineCount(const std::string& text);

}  // namespace bc::fuzz
