#include "simhost/bench_view.h"

#include <unistd.h>

#include <sstream>

namespace bc::sim {

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Bytes outside printable ASCII as '?', line ends too unless kept.
std::string printable(std::string text, bool keepLineEnds = false) {
    for (char& c : text) {
        const unsigned char b = static_cast<unsigned char>(c);
        if ((b < 0x20 || b > 0x7E) && !(keepLineEnds && c == '\n')) c = '?';
    }
    return text;
}

std::vector<std::string> displayColumn(const Max7219Model& display) {
    std::vector<std::string> column = {"LED display  [" + display.text() + "]"};
    for (const std::string& line : linesOf(display.art())) column.push_back(line);
    char intensity[48];
    snprintf(intensity, sizeof intensity, "intensity %d/15%s", display.intensity(),
             display.shutdown() ? "  (shut down)" : "");
    column.push_back(intensity);
    return column;
}

std::string lastCommand(const ScopeModel& scope) {
    if (scope.heard.empty()) return "scope: no commands yet";
    const size_t n = scope.heard.size();
    return "scope <- " + scope.heard.back().message + "   (" + std::to_string(n) +
           (n == 1 ? " command)" : " commands)");
}

}  // namespace

BenchView::BenchView(FILE* out, const ScopeModel& scope, const IssRig& rig) : out_(out), scope_(scope), rig_(rig) {
    if (!out_ || !isatty(fileno(out_))) return;
    terminal_ = true;
    screen_ = std::make_unique<ScreenRegion>(fileno(out_), kScreenHeight, kScreenWidth);
    if (!screen_->fits()) screen_.reset();
}

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

std::vector<std::string> BenchView::screenLines(const ScopeModel& scope, const IssRig& rig) {
    const std::vector<std::string> columns[3] = {displayColumn(rig.display), linesOf(panelSection(rig.panel)),
                                                 linesOf("plot device\n" + rig.plot.render())};
    const size_t widths[3] = {32, 2 + TextPanelModel::kCols, 11};
    std::vector<std::string> lines = {std::string(kScreenWidth, '-')};
    for (size_t row = 0; row < 9; ++row) {
        std::string line;
        for (int c = 0; c < 3; ++c) {
            std::string cell = row < columns[c].size() ? columns[c][row] : "";
            cell.resize(widths[c], ' ');
            line += (c ? "   " : "") + cell;
        }
        lines.push_back(printable(line));
    }
    lines.push_back(printable(lastCommand(scope)));
    return lines;
}

std::string BenchView::shown(std::string text, bool lines) const {
    return terminal_ ? printable(std::move(text), lines) : text;
}

void BenchView::showIfChanged(const std::string& now, std::string& last) {
    if (now == last) return;
    last = now;
    fprintf(out_, "%s", shown(now, true).c_str());
}

void BenchView::refresh() {
    if (!out_) return;
    if (screen_) return screen_->draw(screenLines(scope_, rig_));
    // Messages dropped from the record before the view came to them are
    // not shown.
    const uint64_t first = scope_.heardDropped, heard = first + scope_.heard.size();
    if (commandsShown_ < first) commandsShown_ = first;
    for (; commandsShown_ < heard; ++commandsShown_)
        fprintf(out_, "scope <- %s\n", shown(scope_.heard[size_t(commandsShown_ - first)].message, false).c_str());
    showIfChanged(displaySection(rig_.display), display_);
    showIfChanged(panelSection(rig_.panel), panel_);
    showIfChanged("plot device\n" + rig_.plot.render(), plot_);
    fflush(out_);
}

void BenchView::resume() {
    if (screen_) screen_->lost();
}

}  // namespace bc::sim
