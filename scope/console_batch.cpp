// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "scope/console_batch.h"

#include <cstdarg>
#include <cstdio>

namespace bc {

void batchFlush(ConsoleBatch& batch) {
    if (batch.used) fwrite(batch.text, 1, batch.used, stdout);
    batch.used = 0;
}

char* batchRoom(ConsoleBatch& batch) {
    if (batch.used >= sizeof batch.text - plotRowMost) batchFlush(batch);
    return batch.text + batch.used;
}

void batchTake(ConsoleBatch& batch, const char* end) { batch.used = size_t(end - batch.text); }

void batchPrintf(ConsoleBatch& batch, const char* format, ...) {
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    const size_t room = sizeof batch.text - batch.used;
    // vsnprintf always terminates, so a text fits only if it is shorter
    // than the room left; the terminator is overwritten by the next one.
    const int n = vsnprintf(batch.text + batch.used, room, format, args);
    if (n >= 0 && size_t(n) < room) {
        batch.used += size_t(n);
    } else {
        batchFlush(batch);
        if (n >= 0 && size_t(n) < sizeof batch.text)
            batch.used = size_t(vsnprintf(batch.text, sizeof batch.text, format, again));
        else
            vprintf(format, again);
    }
    va_end(again);
    va_end(args);
}

}  // namespace bc
