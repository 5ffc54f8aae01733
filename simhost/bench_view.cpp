#include "simhost/bench_view.h"

namespace bc::sim {

std::string BenchView::displaySection(const Max7219Model& display) {
    char head[96];
    snprintf(head, sizeof head, "LED display  [%s]  intensity %d/15%s\n", display.text().c_str(), display.intensity(),
             display.shutdown() ? "  (shut down)" : "");
    return head + display.art();
}

std::string BenchView::panelSection(const TextPanelModel& panel) {
    const std::string edge = "+" + std::string(TextPanelModel::kCols, '-') + "+\n";
    std::string out = "text panel\n" + edge;
    for (int r = 0; r < TextPanelModel::kRows; ++r) out += "|" + panel.row(r) + "|\n";
    return out + edge;
}

void BenchView::showIfChanged(const std::string& now, std::string& last) {
    if (now == last) return;
    last = now;
    fprintf(out_, "%s", now.c_str());
}

void BenchView::refresh() {
    if (!out_) return;
    // Messages dropped from the record before the view came to them are
    // not shown.
    const uint64_t first = scope_.heardDropped, heard = first + scope_.heard.size();
    if (commandsShown_ < first) commandsShown_ = first;
    for (; commandsShown_ < heard; ++commandsShown_)
        fprintf(out_, "scope <- %s\n", scope_.heard[size_t(commandsShown_ - first)].message.c_str());
    showIfChanged(displaySection(rig_.display), display_);
    showIfChanged(panelSection(rig_.panel), panel_);
    showIfChanged("plot device\n" + rig_.plot.render(), plot_);
    fflush(out_);
}

}  // namespace bc::sim
