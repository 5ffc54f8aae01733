// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// Console lines gathered and written in pieces of a few kilobytes. On a
// terminal standard output is line-buffered, so a capture's 4000 plot lines
// would each cost a write of their own, several times the work of the whole
// capture; gathered, they take a few dozen. The bytes and their order are
// exactly what printf would have written.
#pragma once

#include <cstddef>

#include "scope/sample_text.h"

namespace bc {

// Room for the widest plot row a sample can make, and the few kilobytes
// gathered before it: the rows go out in writes of about 4 KB.
struct ConsoleBatch {
    char text[4096 + plotRowMost];
    size_t used;
};

#if defined(__GNUC__)
#define BC_PRINTF_LIKE __attribute__((format(printf, 2, 3)))
#else
#define BC_PRINTF_LIKE
#endif

// Formats as printf does, into the batch; a line too long for the batch on
// its own goes straight out, after what was gathered before it.
void batchPrintf(ConsoleBatch& batch, const char* format, ...) BC_PRINTF_LIKE;
// Writes out what has been gathered.
void batchFlush(ConsoleBatch& batch);

// Where a plot row (at most plotRowMost bytes) goes: after what has been
// gathered, which goes out first once it fills the batch's first 4 KB. The
// row is then taken with batchTake and the end its routine returned.
char* batchRoom(ConsoleBatch& batch);
void batchTake(ConsoleBatch& batch, const char* end);

}  // namespace bc
