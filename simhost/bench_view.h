// What a person at the simulated bench would see: the eight LED digits, the
// text panel, the plot device's field and the instrument's commands. In a
// file, each part is printed again whenever it changes. On a terminal the
// parts stand side by side in the bottom lines of the screen, redrawn in
// place, while the command's own output scrolls above them (on a screen too
// small for that, they are printed as in a file); bytes the devices were
// sent that a terminal would take as control codes are shown as '?' there.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "sim/iss_rig.h"
#include "sim/scope_model.h"
#include "simhost/screen_region.h"

namespace bc::sim {

class BenchView {
public:
    BenchView(FILE* out, const ScopeModel& scope, const IssRig& rig);

    // Prints each part that changed since the last call.
    void refresh();

    // After the terminal was given back for a stop: the next refresh draws
    // the picture as at the start.
    void resume();

    static std::string displaySection(const Max7219Model& display);
    static std::string panelSection(const TextPanelModel& panel);

    // The picture drawn in place: a rule, the display, the panel and the
    // plot field side by side, the last instrument command.
    static constexpr int kScreenHeight = 11;
    static constexpr int kScreenWidth = 71;
    static std::vector<std::string> screenLines(const ScopeModel& scope, const IssRig& rig);

private:
    void showIfChanged(const std::string& now, std::string& last);
    std::string shown(std::string text, bool lines) const;

    FILE* out_;
    const ScopeModel& scope_;
    const IssRig& rig_;
    bool terminal_ = false;
    std::unique_ptr<ScreenRegion> screen_;  // when drawn in place
    uint64_t commandsShown_ = 0;            // counted from the first message heard
    std::string display_, panel_, plot_;
};

}  // namespace bc::sim
