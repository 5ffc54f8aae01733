// A pseudo-terminal the benchmark serves itself, for measurements that need
// to know exactly when a byte went out (or that none did).
#pragma once

#include <string>

#include "simhost/raw_pty.h"

namespace bc::benchmarks {

class OwnPty : public sim::RawPty {
public:
    bool open() {
        std::string error;
        return RawPty::open(error);
    }
    // Reads and drops whatever the client has sent so far.
    void drain();
};

}  // namespace bc::benchmarks
