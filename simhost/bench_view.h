// What a person at the simulated bench would see: the eight LED digits, the
// text panel, the plot device's field and the instrument's commands, printed
// to a file or terminal as they change.
#pragma once

#include <cstdio>
#include <string>

#include "sim/iss_rig.h"
#include "sim/scope_model.h"

namespace bc::sim {

class BenchView {
public:
    BenchView(FILE* out, const ScopeModel& scope, const IssRig& rig) : out_(out), scope_(scope), rig_(rig) {}

    // Prints each part that changed since the last call.
    void refresh();

    static std::string displaySection(const Max7219Model& display);
    static std::string panelSection(const TextPanelModel& panel);

private:
    void showIfChanged(const std::string& now, std::string& last);

    FILE* out_;
    const ScopeModel& scope_;
    const IssRig& rig_;
    uint64_t commandsShown_ = 0;  // counted from the first message heard
    std::string display_, panel_, plot_;
};

}  // namespace bc::sim
