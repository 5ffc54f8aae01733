#include "simhost/faults.h"

namespace bc::sim {

namespace {

const Fault kFaults[] = {
    {"scope-silent", "", [](WholeBench& d) { d.scope.faults.silent = true; }},
    {"scope-slow", "replies in pieces",
     [](WholeBench& d) { d.scope.faults.pieceBytes = 64, d.scope.faults.pieceGapMs = 60; }},
    {"short-block", "", [](WholeBench& d) { d.scope.faults.shortBlockBytes = 4000; }},
    {"long-learn", "", [](WholeBench& d) { d.scope.faults.learnPadTo = 950; }},
    {"scope-garbage", "", [](WholeBench& d) { d.scope.faults.garbageBefore = "\x01\xFEgarbage"; }},
    {"adapter-silent", "", [](WholeBench& d) { d.rig.adapter.silent = true; }},
    {"adapter-short", "", [](WholeBench& d) { d.rig.adapter.replyLimit = 1; }},
};

}  // namespace

const Fault* findFault(const std::string& name) {
    for (const Fault& f : kFaults)
        if (name == f.name) return &f;
    return nullptr;
}

std::string faultNames(bool described) {
    std::string names;
    for (const Fault& f : kFaults) {
        if (!names.empty()) names += ", ";
        names += f.name;
        if (described && *f.what) names += std::string(" (") + f.what + ")";
    }
    return names;
}

}  // namespace bc::sim
