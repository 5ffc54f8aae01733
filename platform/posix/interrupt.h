#pragma once

namespace bc::posix {

// Ends the process through bc::exit (status 128 + signal) when an interrupt
// has been caught since endCleanlyOnInterrupt() was called; else returns.
void endIfInterrupted();

}  // namespace bc::posix
