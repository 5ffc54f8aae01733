// benchcom-run ROUTINE [ARG...]: opens the port as the main sequence does and
// runs one of the tool's device routines, so that a person (or a test) can
// call routines that the fixed main sequence never reaches.
#include <cstdio>
#include <cstring>

#include "platform/interrupt.h"
#include "platform/standard_streams.h"
#include "platform/version.h"
#include "platform/win32_api.h"
#include "ports/port_list.h"
#include "ports/port_trace.h"
#include "scope/capture_file.h"
#include "serial/com_port.h"
#include "sim/built_in_bench.h"
#include "tools/parse_args.h"
#include "tools/routine_table.h"

namespace {

using bc::run::Routine;

// Prints text as lines of at most 79 columns, each indented by `indent`.
void printWrapped(FILE* to, const char* text, int indent) {
    const int width = 79 - indent;
    while (*text) {
        int n = int(std::strlen(text));
        if (n > width) {
            n = width;
            while (n > 0 && text[n] != ' ') --n;
            if (n == 0) n = width;
        }
        fprintf(to, "%*s%.*s\n", indent, "", n, text);
        text += n;
        while (*text == ' ') ++text;
    }
}

const char kUsage[] =
    "usage: benchcom-run ROUTINE [ARG...]\n"
    "       benchcom-run --list-ports\n"
    "       benchcom-run --help | --version\n";

void printHelp() {
    printf(
        "%s\n"
        "Opens the port (COM3, or what BENCHCOM_PORT names: COMn, a device path,\n"
        "usb:VVVV:PPPP[:SERIAL], sim for the simulated bench inside the program,\n"
        "rfc2217://HOST:PORT or socket://HOST:PORT) and runs one routine.\n"
        "Numbers are C integer literals (42, 0x2A, -1); a channel is the character itself\n"
        "(1 or 2); a text is one argument. Endless routines run until Ctrl-C. The times\n"
        "are those at the bench, at 19200 bit/s; the simulated bench answers faster.\n"
        "\n"
        "routines:\n",
        kUsage);
    for (auto table : bc::run::routineTables())
        for (const Routine& r : table) {
            printf("  %-22s %s%s\n", r.name, r.argNames, r.opensPort ? "" : "  (no port needed)");
            printWrapped(stdout, r.description, 6);
        }
    if (*bc::run::sequenceNames()) printf("\nsequences: %s\n", bc::run::sequenceNames());
}

// The serial ports of this machine, one line each.
int listPorts() {
    const auto ports = bc::ports::listSerialPorts();
    if (ports.empty()) printf("no serial ports found\n");
    for (const auto& p : ports) printf("%s\n", bc::ports::describePort(p).c_str());
    return 0;
}

// A mistyped call gets the short usage only: the routine list is long.
int usageError(const char* message) {
    fprintf(stderr, "benchcom-run: %s\n%s(benchcom-run --help lists the routines)\n", message, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bc::openMissingStandardStreams();
    if (argc < 2) return usageError("no routine named");
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printHelp();
        return 0;
    }
    if (std::strcmp(argv[1], "--list-ports") == 0)
        return argc > 2 ? usageError("--list-ports takes no arguments") : listPorts();
    if (std::strcmp(argv[1], "--version") == 0) {
        printf("benchcom-run %s\n", bc::version());
        return 0;
    }
    const Routine* routine = bc::run::findRoutine(argv[1]);
    char message[256];
    if (!routine) {
        snprintf(message, sizeof message, "unknown routine '%s'", argv[1]);
        return usageError(message);
    }
    bc::run::Args args;
    if (!bc::run::parseArgs(*routine, argc - 2, argv + 2, args, message, sizeof message)) return usageError(message);

    bc::endCleanlyOnInterrupt();
    bc::sim::offerBuiltInBench();  // BENCHCOM_PORT=sim
    if (routine->opensPort && !bc::openPort(9, 19200, 'N', '8')) {
        printf("Opening Port Failed");
        return 1;
    }
    routine->call(args);
    // The routine has run to its end; a capture file it could not write
    // whole, or a trace, has been named on standard error.
    const bool traceWhole = bc::ports::processTraceWhole();
    return bc::captureFileFailed || !traceWhole ? 3 : 0;
}
