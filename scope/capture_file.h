// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// A capture's output file, with every write and the close checked. A file
// that cannot be created or written whole is said once on standard error,
// with its name and the system's reason; the capture itself goes on exactly
// as it would have, and benchcom-run ends with status 3.
#pragma once

#include <cstdio>

#include "scope/console_batch.h"

namespace bc {

struct CaptureFile {
    const char* name;
    FILE* stream;  // null when the file could not be created
    bool failed;   // said already; later writes to it are skipped
};

// Set once any capture file could not be created or written whole.
extern bool captureFileFailed;

// Creates or empties the file (fopen mode "w+").
CaptureFile captureOpen(const char* name);

// fprintf to an open file.
void captureWrite(CaptureFile& file, const char* format, ...) BC_PRINTF_LIKE;

// The bytes from `text` to `end`, as they are.
void captureWriteText(CaptureFile& file, const char* text, const char* end);

// For writes made with plain stdio on file.stream (errno cleared before
// them): says the failure its error flag shows.
void captureCheck(CaptureFile& file);

// Closes an open file; a close that fails (the last write-out) is said too.
void captureClose(CaptureFile& file);

// Closes the files of a capture that was ended before it closed them itself
// (benchcom-run's shell, on Ctrl-C), with what they hold so far, as the end
// of the process closes them.
void captureCloseAbandoned();

}  // namespace bc
