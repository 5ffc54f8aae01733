// The ways benchcom-sim's bench can be made to misbehave (--fault NAME), in
// one table that the option parsing, the usage text and the bench all read.
#pragma once

#include <string>

#include "sim/whole_bench.h"

namespace bc::sim {

struct Fault {
    const char* name;
    const char* what;  // for the usage text; empty when the name says it
    void (*apply)(WholeBench& bench);
};

// The fault of that name, or null.
const Fault* findFault(const std::string& name);

// "scope-silent, scope-slow (replies in pieces), ...": every fault, for the
// usage; without `described`, the names alone ("scope-silent, scope-slow, ...").
std::string faultNames(bool described);

}  // namespace bc::sim
