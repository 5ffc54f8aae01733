// The routines benchcom-run can call, one table per subsystem.
#pragma once

#include <span>

namespace bc::run {

// The most bytes one raw frame (`send`) takes.
constexpr int kMaxRawBytes = 128;

// Parsed arguments, in the order the routine takes them after fd.
struct Args {
    int fd = 0;
    int num[8] = {};
    const char* text[2] = {};
    const int* sequence = nullptr;
    // A raw frame: its bytes, and how many reply bytes to read (-1: what
    // arrives within the port's time-outs).
    unsigned char bytes[kMaxRawBytes] = {};
    int byteCount = 0;
    int replyCount = -1;
};

// Argument kinds, one letter each: 'i' a C integer literal (decimal, 0x hex,
// optional minus), 'c' a channel selector given as the character itself,
// 't' a text, 's' the name of a register sequence, 'x' the rest of the words:
// bytes in hexadecimal, then optionally `read N`. Numbers and channels fill
// Args::num in order, texts Args::text, bytes Args::bytes.
struct Routine {
    const char* name;
    const char* kinds;
    const char* argNames;  // for the usage text, e.g. "lead text"
    // One sentence or two for --help and the manual page: what goes to the
    // hardware, what is printed or written, and how long it takes (or that
    // it runs until Ctrl-C).
    const char* description;
    bool opensPort;
    void (*call)(const Args&);
};

std::span<const Routine> appRoutines();
std::span<const Routine> scopeRoutines();
std::span<const Routine> issRoutines();
std::span<const Routine> ledRoutines();
std::span<const Routine> rawRoutines();

// All the tables, in the order the usage text and the manual page list them.
std::span<const std::span<const Routine>> routineTables();
// The routine of that name, or null.
const Routine* findRoutine(const char* name);

// The register sequence of that name, or null.
const int* sequenceNamed(const char* name);
// The names sequenceNamed knows, for the usage text ("" when there are none).
const char* sequenceNames();

}  // namespace bc::run
