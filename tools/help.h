// What benchcom-run says about itself: its usage, --help, one routine's
// entry, and the shell's help.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tools/routine_table.h"

namespace bc::run {

// The synopsis lines.
extern const char kUsage[];

// --help: the usage, what the options do, and every routine.
void printHelp();

// One routine's entry of the table: its arguments, what it sends, how long
// it runs.
void printRoutineHelp(FILE* to, const Routine& routine);

// The shell's `help`: its commands and the routines' names.
void printShellHelp();

// Every routine's name, in the order of the tables.
std::vector<std::string> routineNames();

// The serial ports of this machine, one line each (--list-ports, `ports`).
void listPorts();

}  // namespace bc::run
