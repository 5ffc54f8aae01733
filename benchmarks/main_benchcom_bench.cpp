// benchcom-bench: how close the tool's pace comes to what the hardware and
// the tool's own fixed waits allow. See BENCHMARKS.md.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "benchmarks/machine.h"
#include "benchmarks/sections.h"
#include "benchmarks/sim_child.h"
#include "platform/standard_streams.h"
#include "platform/version.h"

namespace {

using namespace bc::benchmarks;

const char kUsage[] =
    "usage: benchcom-bench [--quick] [--only P1,P2,...] [--dir DIR] [--keep]\n"
    "       benchcom-bench --help | --version\n"
    "  Measures P1 to P7 against benchcom-sim (P7 through ser2net) and P9 (replay) and\n"
    "  prints a table.\n"
    "  --quick  a third of the runs (a smoke check; figures are noisier)\n"
    "  --only   just these figures (P1 also takes P4, whose floor it needs)\n"
    "  --dir    make the scratch directory (the captures' current directory) in DIR,\n"
    "           not /tmp: the file system there is part of P1's scopeReadDual and P6\n"
    "  --keep   keep the scratch directory (console output, captures)\n";

struct Options {
    bool quick = false, keep = false, help = false, version = false;
    std::string dir = "/tmp";
    std::set<std::string> only;
    bool wants(const char* id) const { return only.empty() || only.count(id); }
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--quick")
            o.quick = true;
        else if (a == "--keep")
            o.keep = true;
        else if (a == "--help" || a == "-h")
            o.help = true;
        else if (a == "--version")
            o.version = true;
        else if (a == "--dir" && i + 1 < argc)
            o.dir = argv[++i];
        else if (a == "--only" && i + 1 < argc) {
            std::string list = argv[++i];
            for (size_t start = 0; start <= list.size();) {
                size_t comma = list.find(',', start);
                if (comma == std::string::npos) comma = list.size();
                o.only.insert(list.substr(start, comma - start));
                start = comma + 1;
            }
        } else
            return false;
    }
    return true;
}

// The programs measured stand beside benchcom-bench, in the build tree and
// where it is installed; the test suite only in the build tree. The pyserial
// client is installed with the data files, and read from the sources in the
// build tree.
void locatePrograms(Config& cfg) {
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
    cfg.simPath = dir / "benchcom-sim";
    cfg.runPath = dir / "benchcom-run";
    cfg.mainPath = dir / "benchcom";
    const std::filesystem::path tests = dir / "benchcom_tests";
    cfg.testsPath = std::filesystem::exists(tests) ? tests.string() : "";
    const std::filesystem::path installed = dir / BENCHCOM_DATA_FROM_BIN / "pyserial_round_trip.py";
    cfg.pyserialScript = std::filesystem::exists(installed) ? installed.string() : BENCHCOM_PYSERIAL_SCRIPT;
}

// The routines print their trace on standard output; the table goes to the
// original standard output and the trace to a file in the scratch directory.
FILE* divertConsole(const std::string& scratch) {
    FILE* table = fdopen(dup(STDOUT_FILENO), "w");
    if (!freopen((scratch + "/console.txt").c_str(), "w", stdout)) return nullptr;
    return table;
}

void runAgainstSim(const Options& o, const Config& cfg, Report& report) {
    SimChild sim;
    std::string error;
    if (!sim.start(cfg.simPath, error)) {
        report.note("P1/P4: " + error);
        return;
    }
    const double rttMs = measureRoundTrips(sim.port(), cfg, report);
    if (o.wants("P1")) measureRoutines(sim.port(), rttMs, cfg, report);
}

}  // namespace

int main(int argc, char** argv) {
    bc::openMissingStandardStreams();
    Options o;
    if (!parse(argc, argv, o) || o.help) {
        fprintf(o.help ? stdout : stderr, "%s", kUsage);
        return o.help ? 0 : 2;
    }
    if (o.version) {
        printf("benchcom-bench %s\n", bc::version());
        return 0;
    }
    Config cfg;
    locatePrograms(cfg);
    cfg.python = "/usr/bin/python3";
    cfg.quick = o.quick;
    std::string tmpl = o.dir + "/benchcom-bench-XXXXXX";
    if (!mkdtemp(tmpl.data()) || chdir(tmpl.c_str()) != 0) {
        fprintf(stderr, "benchcom-bench: cannot make a scratch directory in %s\n", o.dir.c_str());
        return 1;
    }
    cfg.scratch = tmpl;
    FILE* table = divertConsole(cfg.scratch);
    if (!table) return 1;

    fprintf(table, "benchcom-bench%s on %s\ncaptures in %s\nload average at start: %s\n\n", o.quick ? " --quick" : "",
            machineDescription().c_str(), cfg.scratch.c_str(), loadAverages().c_str());
    fflush(table);
    Report report;
    if (o.wants("P1") || o.wants("P4")) runAgainstSim(o, cfg, report);
    if (o.wants("P2") || o.wants("P3")) measureTimeouts(cfg, report);
    if (o.wants("P6")) measureCaptureClose(cfg, report);
    if (o.wants("P7")) measureNetworkRoundTrips(cfg, report);
    if (o.wants("P9")) measureReplay(cfg, report);
    if (o.wants("P5")) {
        if (cfg.testsPath.empty())
            report.note("P5: no test suite beside benchcom-bench (built with the tests, in the build tree)");
        else
            measureSuite(cfg, report);
    }
    fflush(stdout);
    report.print(table);
    fprintf(table, "\nload average at end: %s\n", loadAverages().c_str());
    if (o.keep || !report.allMet())
        fprintf(table, "scratch directory kept: %s\n", tmpl.c_str());
    else
        std::filesystem::remove_all(tmpl);
    fclose(table);
    return 0;
}
