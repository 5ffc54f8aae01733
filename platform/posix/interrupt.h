#pragma once

namespace bc::posix {

// Ends the process through bc::exit (status 128 + signal) when an interrupt,
// or a lost console while none is held off, has been caught since
// endCleanlyOnInterrupt() was called; else returns.
void endIfInterrupted();

}  // namespace bc::posix
