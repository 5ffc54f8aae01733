#include "sim/built_in_bench.h"

#include "platform/seam.h"
#include "sim/whole_bench.h"

namespace bc::sim {

namespace {

seam::SimDevice& theBench() {
    static WholeBench bench;
    return bench.port;
}

}  // namespace

void offerBuiltInBench() { seam::provideBuiltInBench(&theBench); }

}  // namespace bc::sim
