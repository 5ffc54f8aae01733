// benchcom-run ROUTINE [ARG...]: opens the port as the main sequence does and
// runs one of the tool's device routines, so that a person (or a test) can
// call routines that the fixed main sequence never reaches; or several, from
// a script or typed at its shell, on one open port.
#include <cstdio>
#include <filesystem>

#include "platform/interrupt.h"
#include "platform/standard_streams.h"
#include "platform/terminal.h"
#include "platform/time_limit.h"
#include "platform/version.h"
#include "sim/built_in_bench.h"
#include "tools/call.h"
#include "tools/help.h"
#include "tools/run_options.h"
#include "tools/script.h"
#include "tools/session.h"
#include "tools/shell.h"

namespace {

using namespace bc::run;

// A mistyped call gets the short usage only: the routine list is long.
int usageError(const std::string& message) {
    fprintf(stderr, "benchcom-run: %s\n%s(benchcom-run --help lists the routines)\n", message.c_str(), kUsage);
    return 2;
}

// `help ROUTINE` and `ROUTINE --help`: that routine's entry.
int routineHelp(const std::string& name) {
    const Routine* r = findRoutine(name.c_str());
    if (!r) return usageError(unknownRoutine(name));
    printRoutineHelp(stdout, *r);
    return 0;
}

// The calls, one after another on one open port (opened only when one of
// them needs it).
int runCalls(const std::vector<Call>& calls, bool timeLimited) {
    Session session(timeLimited);
    bool needsPort = false;
    for (const Call& c : calls) needsPort = needsPort || c.routine->opensPort;
    int ended = needsPort ? session.openPort() : kRanToEnd;
    if (ended == 1) return 1;
    for (size_t i = 0; ended == kRanToEnd && i < calls.size(); ++i) ended = session.run(calls[i]);
    // Ctrl-C and the like end the run with their status; the time limit with the run's.
    if (ended != kRanToEnd && ended != kTimeUp) return ended;
    // The routines have run to their end; a capture file they could not
    // write whole has been named on standard error.
    session.reportShortReplies();
    return session.status();
}

int run(const Options& o) {
    std::vector<Call> calls;
    std::string message;
    if (o.mode == Options::Mode::script) {
        if (!loadScript(o.script, calls, message)) {
            fprintf(stderr, "benchcom-run: %s\n", message.c_str());
            return 2;
        }
    } else if (o.mode == Options::Mode::routine) {
        if (o.words.size() >= 2 && (o.words[1] == "--help" || o.words[1] == "-h")) return routineHelp(o.words[0]);
        Call call;
        // A mistyped option is taken for a routine, as it always was; the
        // options are among the names offered for it.
        const std::vector<std::string> others = {"help",   "--script",     "--shell",  "--for",
                                                 "--help", "--list-ports", "--version"};
        if (!makeCall(o.words, call, message, others)) return usageError(message);
        calls.push_back(call);
    }
    bc::endCleanlyOnInterrupt();
    bc::sim::offerBuiltInBench();  // BENCHCOM_PORT=sim
    if (o.forMs >= 0) bc::endRunAfter(o.forMs);
    return o.mode == Options::Mode::shell ? runShell() : runCalls(calls, o.forMs >= 0);
}

}  // namespace

int main(int argc, char** argv) {
    bc::openMissingStandardStreams();
    Options o;
    std::string message;
    if (!parseOptions(argc, argv, o, message)) return usageError(message);
    switch (o.mode) {
    case Options::Mode::help:
        if (!o.words.empty()) return routineHelp(o.words[0]);
        printHelp();
        return 0;
    case Options::Mode::version: printf("benchcom-run %s\n", bc::version()); return 0;
    case Options::Mode::listPorts: listPorts(); return 0;
    default: break;
    }
    if (!o.dir.empty()) {
        std::error_code error;
        std::filesystem::current_path(o.dir, error);
        if (error) {
            fprintf(stderr, "benchcom-run: cannot run in %s: %s\n", o.dir.c_str(), error.message().c_str());
            return 2;
        }
    }
    // Without a routine, a person at a terminal gets the shell.
    if (o.mode == Options::Mode::routine && o.words.empty() && bc::isTerminal(0)) o.mode = Options::Mode::shell;
    return run(o);
}
