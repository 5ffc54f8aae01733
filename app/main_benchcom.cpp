// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// The benchcom executable: the main sequence, nothing else.
#include "app/main_sequence.h"
#include "platform/interrupt.h"
#include "platform/standard_streams.h"
#include "platform/win32_api.h"
#include "ports/port_trace.h"
#include "sim/built_in_bench.h"

int main(int argc, char** argv, char** envp) {
    bc::openMissingStandardStreams();
    // Ctrl-C during the long exerciser still flushes the output and releases
    // the port for the next program.
    bc::endCleanlyOnInterrupt();
    bc::sim::offerBuiltInBench();  // BENCHCOM_PORT=sim
    const int status = bc::main(argc, argv, envp);
    // A trace asked for and not written whole has been said on standard
    // error; the run says so too.
    return status == 0 && !bc::ports::processTraceWhole() ? 3 : status;
}
