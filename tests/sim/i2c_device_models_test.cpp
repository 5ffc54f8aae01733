#include <gtest/gtest.h>

#include <string>

#include "sim/plot_model.h"
#include "sim/srf08_model.h"
#include "sim/text_panel_model.h"

namespace bc {
namespace {

using sim::PlotModel;
using sim::Srf08Model;
using sim::TextPanelModel;

void type(TextPanelModel& panel, const std::string& bytes) {
    panel.write(0, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 0);
}

TEST(TextPanelModel, LeadTwelveStartsAFreshScreenAndTextWrapsRowByRow) {
    TextPanelModel panel;
    type(panel, std::string("\x0c") + "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(panel.row(0), "abcdefghijklmnopqrst");
    EXPECT_EQ(panel.row(1), "uvwxyz              ");
    type(panel, std::string(1, '\0') + "!");  // lead 0 changes nothing
    EXPECT_EQ(panel.row(1), "uvwxyz!             ");
    type(panel, "\x0c");
    std::string empty;
    for (int r = 0; r < 4; ++r) empty += std::string(20, ' ') + "\n";
    EXPECT_EQ(panel.screen(), empty);
    EXPECT_EQ(panel.cursor(), 0);
    EXPECT_EQ(panel.freshScreens(), 2);
}

TEST(TextPanelModel, CursorCommandsTakeTheirParametersEvenAcrossWrites) {
    TextPanelModel panel;
    type(panel, "\x03");
    type(panel, "\x03\x05X");  // row 3, column 5
    EXPECT_EQ(panel.row(2), "    X               ");
    type(panel, "\x02\x50Y");  // position 80: the last cell
    EXPECT_EQ(panel.row(3).back(), 'Y');
    EXPECT_EQ(panel.cursor(), 0);  // wrapped to the top
    type(panel, "\x0d\x0aZ\x08");
    EXPECT_EQ(panel.row(1)[0], ' ');  // written, then backspaced away
    EXPECT_EQ(panel.cursor(), 20);
}

TEST(TextPanelModel, StatusShowsHeldOrQueuedKeys) {
    TextPanelModel panel;
    uint8_t status[4];
    panel.press(TextPanelModel::kKey1 | 0x400);  // key 1 and '0'
    panel.read(0, status, 4, 0);
    EXPECT_EQ(status[1], 0x01);
    EXPECT_EQ(status[2], 0x04);
    panel.queueKeys(TextPanelModel::kKey3);
    panel.read(0, status, 4, 0);
    EXPECT_EQ(status[1], 0x04);
    panel.release(0xFFFF);
    panel.read(1, status, 2, 0);
    EXPECT_EQ(status[0], 0x00);
    EXPECT_EQ(panel.statusReads(), 3);
}

TEST(Srf08Model, AnswersNothingWhileRangingThenItsEchoesInTheUnitAsked) {
    Srf08Model ranger;
    ranger.echoesCm = {254, 1000};
    uint8_t regs[6];
    const uint8_t cm = 0x51, inches = 0x50, micro = 0x52;
    ranger.write(0, &cm, 1, 1000);
    ranger.read(0, regs, 6, 1064);
    for (uint8_t r : regs) EXPECT_EQ(r, 0xFF);
    ranger.read(0, regs, 6, 1065);
    EXPECT_EQ(regs[0], ranger.revision);
    EXPECT_EQ(regs[1], ranger.light);
    EXPECT_EQ((regs[2] << 8) | regs[3], 254);
    EXPECT_EQ((regs[4] << 8) | regs[5], 1000);
    ranger.write(0, &inches, 1, 2000);
    ranger.read(2, regs, 2, 3000);
    EXPECT_EQ((regs[0] << 8) | regs[1], 100);
    ranger.write(0, &micro, 1, 4000);
    ranger.read(4, regs, 2, 5000);
    EXPECT_EQ((regs[0] << 8) | regs[1], 58000);
    EXPECT_EQ(ranger.rangings(), 3);
}

TEST(PlotModel, PatternSetsGreyLevelsAndPointsSetColours) {
    PlotModel plot;
    uint8_t pattern[33] = {0x05};
    pattern[1] = 0xF1;   // cells (0,0) level 15, (1,0) level 1
    pattern[32] = 0x08;  // cell (7,7) level 8
    plot.write(0x10, pattern, sizeof pattern, 0);
    const uint8_t point[] = {0x00, 3, 4, 0x00, 0xA0, 0x10, 0x20};
    plot.write(0x10, point, sizeof point, 0);
    const uint8_t outside[] = {0x00, 8, 0, 1, 1, 1, 0x20};
    plot.write(0x10, outside, sizeof outside, 0);
    EXPECT_EQ(plot.patterns(), 1);
    EXPECT_EQ(plot.points(), 2);
    EXPECT_EQ(plot.cell(3, 4), (PlotModel::Colour{0x00, 0xA0, 0x10}));
    EXPECT_EQ(plot.render(),
              "F1......\n"
              "........\n"
              "........\n"
              "........\n"
              "...A....\n"
              "........\n"
              "........\n"
              ".......8\n");
}

}  // namespace
}  // namespace bc
