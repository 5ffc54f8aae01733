#include "tools/help.h"

#include <cstring>

#include "ports/port_list.h"

namespace bc::run {

namespace {

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

}  // namespace

const char kUsage[] =
    "usage: benchcom-run ROUTINE [ARG...]\n"
    "       benchcom-run --script FILE|-\n"
    "       benchcom-run --shell\n"
    "       benchcom-run help [ROUTINE] | ROUTINE --help\n"
    "       benchcom-run --list-ports\n"
    "       benchcom-run --help | --version\n"
    "       (-C DIR and --for SECONDS may come first)\n";

namespace {

// The routine's entry in --help's list.
void printEntry(const Routine& r) {
    printf("  %-22s %s%s\n", r.name, r.argNames, r.opensPort ? "" : "  (no port needed)");
    printWrapped(stdout, r.description, 6);
}

}  // namespace

void printRoutineHelp(FILE* to, const Routine& r) {
    fprintf(to, "%s%s%s%s\n", r.name, *r.argNames ? " " : "", r.argNames, r.opensPort ? "" : "  (no port needed)");
    printWrapped(to, r.description, 2);
}

void printHelp() {
    printf(
        "%s\n"
        "Opens the port (COM3, or what BENCHCOM_PORT names: COMn, a device path,\n"
        "usb:VVVV:PPPP[:SERIAL], sim for the simulated bench inside the program,\n"
        "rfc2217://HOST:PORT or socket://HOST:PORT) and runs one routine.\n"
        "Numbers are C integer literals (42, 0x2A, -1); a channel is the character itself\n"
        "(1 or 2); a text is one argument. Endless routines run until Ctrl-C (or the end\n"
        "of --for). The times are those at the bench, at 19200 bit/s; the simulated\n"
        "bench answers faster.\n"
        "\n"
        "  --script FILE   runs the routines of FILE (- for standard input), one a line\n"
        "                  with its arguments, on one open port; a word in double quotes\n"
        "                  keeps its blanks and reads \\r \\n \\t \\\\ \\\" \\xHH; # begins a\n"
        "                  comment. The whole script is checked before the port is opened.\n"
        "  --shell         opens the port and reads routines and raw commands typed at a\n"
        "                  prompt (also without a routine when standard input is a\n"
        "                  terminal): help [ROUTINE], ports, quit; Ctrl-C ends the routine\n"
        "                  under way, Ctrl-C or Ctrl-D at the prompt leaves\n"
        "  --for SECONDS   ends the run after that long, as Ctrl-C would, with status 0\n"
        "  -C DIR          runs in DIR: the script, the captures and the trace are there\n"
        "\n"
        "Exit status: 0 when the routines have run, 1 when the port cannot be opened, 2\n"
        "for a call or script it cannot read, 3 when a capture file was not written\n"
        "whole, 4 when an instrument did not answer whole (one line on standard error\n"
        "names the first such exchange), 130 on Ctrl-C.\n"
        "\n"
        "routines:\n",
        kUsage);
    for (auto table : routineTables())
        for (const Routine& r : table) printEntry(r);
    if (*sequenceNames()) printf("\nsequences: %s\n", sequenceNames());
}

void printShellHelp() {
    printf(
        "A routine with its arguments, as on benchcom-run's command line, runs on the\n"
        "open port; help ROUTINE says what it takes and does. Ctrl-C ends it.\n"
        "  help [ROUTINE]   this text, or one routine's\n"
        "  ports            the machine's serial ports\n"
        "  quit             leave (Ctrl-D or Ctrl-C at the prompt too)\n"
        "raw: send BYTE... [read N], scpi TEXT, wait MS\n"
        "routines:\n");
    std::string names;
    for (auto table : routineTables())
        for (const Routine& r : table) names += std::string(names.empty() ? "" : " ") + r.name;
    printWrapped(stdout, names.c_str(), 2);
}

std::vector<std::string> routineNames() {
    std::vector<std::string> names;
    for (auto table : routineTables())
        for (const Routine& r : table) names.push_back(r.name);
    return names;
}

void listPorts() {
    const auto ports = ports::listSerialPorts();
    if (ports.empty()) printf("no serial ports found\n");
    for (const auto& p : ports) printf("%s\n", ports::describePort(p).c_str());
}

}  // namespace bc::run
