// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// A capture's output file, with every write and the close checked. A file
// that cannot be created or written whole is said once on standard error,
// with its name and the system's reason; the capture itself goes on exactly
// as it would have, and benchcom-run ends with status 3. The file is written
// under a temporary name and takes the place of the earlier capture only
// when it is closed whole (platform/replacing_file.h): a capture cut short
// or not written whole leaves the earlier one as it was.
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

// Opens the file to replace the earlier one of its name; one that fopen
// mode "w+" could not open is not created here either.
CaptureFile captureOpen(const char* name);

// fprintf to an open file.
void captureWrite(CaptureFile& file, const char* format, ...) BC_PRINTF_LIKE;

// The bytes from `text` to `end`, as they are.
void captureWriteText(CaptureFile& file, const char* text, const char* end);

// For writes made with plain stdio on file.stream (errno cleared before
// them): says the failure its error flag shows.
void captureCheck(CaptureFile& file);

// Closes an open file and, when it was written whole, puts it in place; a
// close or a rename that fails is said too. A file not written whole is
// removed.
void captureClose(CaptureFile& file);

// Lets go of the files of a capture that was ended before it closed them
// itself (benchcom-run's shell, on Ctrl-C), as the end of the process does:
// none is put in place, and the earlier files of their names stay as they
// were.
void captureCloseAbandoned();

}  // namespace bc
