// The picture benchcom-sim draws on a terminal shows what the devices were
// sent, but never hands a terminal a control code from it: a command for
// the instrument with an escape sequence in it, or a byte of 0x80 and above
// on the panel (the panel shows every byte from 32 up; 0x9B is the
// terminal's one-byte CSI), would otherwise act on the person's screen.
#include "simhost/bench_view.h"

#include <gtest/gtest.h>

#include <string>

namespace bc::sim {
namespace {

TEST(BenchView, TheTerminalPictureShowsControlBytesAsQuestionMarks) {
    ScopeModel scope;
    IssRig rig;
    scope.heard.push_back({0, "\033[2J:RUN"});
    const uint8_t text[] = {'h', 'i', 0x9B, '2', 'J', 0x7F};
    rig.panel.write(0, text, sizeof text, 0);

    const std::vector<std::string> lines = BenchView::screenLines(scope, rig);
    ASSERT_EQ(lines.size(), size_t(BenchView::kScreenHeight));
    for (const std::string& line : lines) {
        EXPECT_LE(line.size(), size_t(BenchView::kScreenWidth)) << line;
        for (char c : line) EXPECT_TRUE(c >= 0x20 && c <= 0x7E) << int(static_cast<unsigned char>(c)) << " in " << line;
    }
    EXPECT_EQ(lines.back(), "scope <- ?[2J:RUN   (1 command)");
    // The panel's first row, in the middle column: its edge, then the text.
    EXPECT_NE(lines[3].find("|hi?2J?"), std::string::npos) << lines[3];
}

}  // namespace
}  // namespace bc::sim
