// Serves a SimPort on a pseudo-terminal in real time: what a program writes
// to the terminal reaches the device models, and what they send back reaches
// the program when its time comes.
#pragma once

#include <cstdio>
#include <string>

#include "sim/sim_port.h"
#include "simhost/client_watch.h"
#include "simhost/raw_pty.h"

namespace bc::sim {

class PtyHost {
public:
    // Creates the pseudo-terminal; on failure returns false with a reason.
    bool open(std::string& error);
    const std::string& path() const { return pty_.path(); }

    // Milliseconds on the clock the port's delivery times are kept in.
    static int64_t nowMs();

    // Moves bytes both ways for at most `waitMs` (returning early once
    // anything has moved).
    void pump(SimPort& port, int waitMs);

    // When set, every byte the program sends is also written here.
    std::FILE* wireLog = nullptr;

private:
    void deliver(SimPort& port);
    // What the bench had for a client that has closed the terminal reaches
    // no one: a real device's bytes sent while no program has its port open
    // are lost.
    void dropWhatWasForAClientGone(SimPort& port);

    RawPty pty_;
    ClientWatch clients_;
    std::string toClient_;
};

}  // namespace bc::sim
