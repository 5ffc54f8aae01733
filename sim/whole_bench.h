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
        rig.adapter.keepLog = false;  // endless demonstrations send frames for ever
    }
    WholeBench(const WholeBench&) = delete;
    WholeBench& operator=(const WholeBench&) = delete;

    ScopeModel scope;
    IssRig rig;
    LineRouter router{scope, rig.adapter};
    SimPort port;
};

}  // namespace bc::sim
