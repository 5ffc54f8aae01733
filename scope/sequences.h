// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// Fixed command sequences for the oscilloscope: straight lists of commands,
// queries, waits and captures; no reply changes what is sent next. Each
// returns 0.
#pragma once

namespace bc {

// Reset, auto-set, error checks, identity and learn string, single
// acquisition, both single-channel captures, then a sweep of the time-base
// delay from -3 ms to +0.9 ms in 0.1 ms steps.
int scopeTestSequence(int fd);

// Reset, auto-set, error check, identity and learn string.
int scopeSetup(int fd);

// Identity and learn string, then both single-channel captures.
int scopePollWaveforms(int fd);

// One dual-channel capture.
int scopePollDual(int fd);

}  // namespace bc
