// Every device of the bench on one simulated line, as the tool expects it:
// the oscilloscope and the adapter (with its LED driver chip and I2C devices)
// sharing the port, with the loopback plug on the modem-control lines.
// benchcom-sim serves one on a pseudo-terminal; BENCHCOM_PORT=sim puts one
// inside the program.
#pragma once

#include "sim/iss_rig.h"
#include "sim/line_router.h"
#include "sim/scope_model.h"
#include "sim/sim_port.h"

namespace bc::sim {

struct WholeBench {
    WholeBench() {
        port.peer = &router;
        // Endless demonstrations and any client for as long as it likes:
        // what the host did is kept only as far back as these.
        rig.adapter.keepLog = false;
        port.recordLimit = 64 * 1024;
        scope.heardLimit = 1024;  // messages of up to 4 KiB each
        rig.display.latchedLimit = 64 * 1024;
    }
    WholeBench(const WholeBench&) = delete;
    WholeBench& operator=(const WholeBench&) = delete;

    ScopeModel scope;
    IssRig rig;
    LineRouter router{scope, rig.adapter};
    SimPort port;
};

}  // namespace bc::sim
