// A capture file written under a temporary name in its own directory and put
// in place of the file of its name only once it is whole, so that a capture
// cut short (Ctrl-C, SIGTERM, a file that could not be written whole) leaves
// the last good one as it was. The temporary file is DIR/.NAME.XXXXXX and is
// removed when the capture does not complete; the rename is atomic (POSIX
// rename, Windows' MoveFileEx with replace), so a reader finds either the old
// file or the new one, whole.
#pragma once

#include <cstdio>

namespace bc {

// Opens a file to take the place of `name` once whole; null with errno set
// when fopen(name, "w+") would have failed: a directory of that name, a file
// or directory without write permission, a read-only file system, a
// directory that is gone. A symbolic link of that name is replaced, not
// written through. A device or FIFO of that name holds no capture to keep
// and is opened as it is; so is a file in a directory that takes no new
// file, the one way it can still be written.
std::FILE* openReplacing(const char* name);

// Closes the file and, when it was written whole, puts it in place of its
// name: 0, or the errno value of what failed (its own file is then removed
// and the earlier one left as it was).
int placeReplacing(std::FILE* stream);

// Closes the file and removes it, leaving the earlier one as it was.
void discardReplacing(std::FILE* stream);

// Discards every file still open: the process is ending before its
// captures have. bc::exit calls it, and so does the end of the process.
void discardUnplacedFiles();

}  // namespace bc
