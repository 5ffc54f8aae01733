#include "benchmarks/own_pty.h"

#include <unistd.h>

namespace bc::benchmarks {

void OwnPty::drain() {
    char buf[4096];
    while (read(master(), buf, sizeof buf) > 0) {}
}

}  // namespace bc::benchmarks
