// benchcom-run ROUTINE [ARG...]: opens the port as the main sequence does and
// runs one of the tool's device routines, so that a person (or a test) can
// call routines that the fixed main sequence never reaches.
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "scope/capture_file.h"
#include "serial/port.h"
#include "tools/parse_args.h"
#include "tools/routine_table.h"

namespace {

using bc::run::Routine;

const std::span<const Routine> kTables[] = {bc::run::appRoutines(), bc::run::scopeRoutines(),
                                            bc::run::issRoutines(), bc::run::ledRoutines()};

const Routine* findRoutine(const char* name) {
    for (auto table : kTables)
        for (const Routine& r : table)
            if (std::strcmp(r.name, name) == 0) return &r;
    return nullptr;
}

void printUsage(FILE* to) {
    fprintf(to,
            "usage: benchcom-run ROUTINE [ARG...]\n"
            "       benchcom-run --help\n"
            "\n"
            "Opens the port (COM3; on Linux the device in BENCHCOM_PORT) and runs one routine.\n"
            "Numbers are C integer literals (42, 0x2A, -1); a channel is the character itself\n"
            "(1 or 2); a text is one argument. Endless routines run until Ctrl-C.\n"
            "\n"
            "routines:\n");
    for (auto table : kTables)
        for (const Routine& r : table)
            fprintf(to, "  %-22s %s%s\n", r.name, r.argNames, r.opensPort ? "" : "  (no port needed)");
    if (*bc::run::sequenceNames()) fprintf(to, "\nsequences: %s\n", bc::run::sequenceNames());
}

int usageError(const char* message) {
    fprintf(stderr, "benchcom-run: %s\n\n", message);
    printUsage(stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usageError("no routine named");
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printUsage(stdout);
        return 0;
    }
    const Routine* routine = findRoutine(argv[1]);
    char message[256];
    if (!routine) {
        snprintf(message, sizeof message, "unknown routine '%s'", argv[1]);
        return usageError(message);
    }
    bc::run::Args args;
    if (!bc::run::parseArgs(*routine, argc - 2, argv + 2, args, message, sizeof message))
        return usageError(message);

    bc::endCleanlyOnInterrupt();
    if (routine->opensPort && !bc::openPort(9, 19200, 'N', '8')) {
        printf("Opening Port Failed");
        return 1;
    }
    routine->call(args);
    // The routine has run to its end; a capture file it could not write
    // whole has been named on standard error.
    return bc::captureFileFailed ? 3 : 0;
}
