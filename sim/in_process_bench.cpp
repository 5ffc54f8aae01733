#include "sim/in_process_bench.h"

#include "platform/seam.h"
#include "sim/whole_bench.h"

namespace bc::sim {

namespace {

seam::SimDevice& theBench() {
    static WholeBench bench;
    return bench.port;
}

}  // namespace

void offerInProcessBench() { seam::provideInProcessBench(&theBench); }

}  // namespace bc::sim
