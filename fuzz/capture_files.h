// The captures' files, kept in memory. The routines write each under a
// temporary name beside its fixed one and rename it into place once whole
// (platform/replacing_file.h); in the fuzz targets fopen, rename and remove
// are these, which hand them a stream on a buffer instead of a file, so that
// a capture costs no file-system work. Every other name is opened as usual.
// A file can be made to fail as a full disk or a refused name would.
#pragma once

#include <cstddef>
#include <string>

namespace bc::fuzz {

// Forgets what the files held and any fault set; before each run.
void resetCaptureFiles();

// What the capture file of that name ("./op_scope.csv") holds; empty when
// it was not written.
const std::string& captureFileText(const char* name);

// Makes the file of that name fail in this run: its open (as a name that
// is taken), or its writes once `room` bytes have gone in (as a full disk).
void refuseCaptureFile(const char* name);
void fillCaptureFileAfter(const char* name, size_t room);

// Whether a file this run was refused or filled up (one that is given
// more room than it needs does not).
bool captureFileFaulted();

}  // namespace bc::fuzz
