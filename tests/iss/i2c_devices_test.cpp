#include <gtest/gtest.h>

#include "iss/plot_device.h"
#include "iss/range_finder.h"
#include "iss/text_panel.h"
#include "tests/support/iss_fixture.h"

namespace bc {
namespace {

using test::Bytes;
using test::IssBench;
using test::lines;
using test::writeLine;

using Lines = std::vector<std::string>;

void fillIoBuf() {
    for (int i = 0; i < ioBufSize; ++i) ioBuf[i] = static_cast<unsigned char>(0xA0 + i);
}

Bytes textBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(RangeFinder, BytesMakeAnUnsignedBigEndianValue) {
    EXPECT_EQ(leBytesToInt(0x34, 0x12), 4660);
    EXPECT_EQ(leBytesToInt(0xFF, 0xFF), 65535);
    EXPECT_EQ(leBytesToInt(0x00, 0x00), 0);
    EXPECT_EQ(leBytesToInt(-1, -1), 65535);  // low 8 bits only
    EXPECT_EQ(leBytesToInt(0x1234, 0x5678), 0x7834);
}

TEST(RangeFinder, RangesInCentimetresAndPrintsBothEchoesWithABar) {
    IssBench b;
    b.rig.ranger.echoesCm = {100, 300};
    const int64_t start = b.bench.now();
    auto out = lines(b.run([] { srf08Range(0); }));
    EXPECT_EQ(b.framesFrom(), (std::vector<Bytes>{{0x55, 0xE0, 0x00, 0x01, 0x51}, {0x55, 0xE1, 0x00, 0x06}}));
    // Registers 2..5 read 00 64 01 2C: 100 and 300; the bar is 100 / 4 wide.
    EXPECT_EQ(Bytes(ioBuf + 2, ioBuf + 6), (Bytes{0x00, 0x64, 0x01, 0x2C}));
    EXPECT_EQ(out, (Lines{writeLine(5), writeLine(4), "srf08: 000300 cm,  000100 cm " + std::string(24, '0') + "1+"}));
    EXPECT_EQ(b.rig.ranger.rangings(), 1);
    EXPECT_GE(b.bench.now() - start, 600);
}

TEST(RangeFinder, ANearEchoDrawsTheDigitAlone) {
    for (int cm : {0, 4, 7}) {
        IssBench b;
        b.rig.ranger.echoesCm = {cm};
        EXPECT_EQ(lines(b.run([] { srf08Range(0); })).back(),
                  "srf08: 000000 cm,  00000" + std::to_string(cm) + " cm 1+");
    }
}

TEST(RangeFinder, UnansweredItRangesOnItsOwnFrame) {
    IssBench b;
    b.rig.adapter.silent = true;
    fillIoBuf();
    // Bytes 2 and 3 are 00 06 of the read frame; 4 is the command byte 51 of
    // the first frame and 5 the older content A5: 0x51A5 is 20901.
    EXPECT_EQ(lines(b.run([] { srf08Range(0); })).back(), "srf08: 020901 cm,  000006 cm 1+");
}

TEST(TextPanel, WritesHeaderThenTextOntoTheScreen) {
    IssBench b;
    const std::string text = " press 1 or 3       ";
    auto out = lines(b.run([&] { panelWriteText(0, 12, text.c_str()); }));
    EXPECT_EQ(out, Lines{writeLine(5)});  // the text itself goes out unannounced
    Bytes sent = {0x55, 0xC6, 0x00, 0x15, 0x0C};
    const Bytes chars = textBytes(text);
    sent.insert(sent.end(), chars.begin(), chars.end());
    EXPECT_EQ(b.bench.port.received, sent);
    EXPECT_EQ(b.framesFrom(), std::vector<Bytes>{sent});
    EXPECT_EQ(b.rig.panel.row(0), text);
    EXPECT_EQ(b.rig.panel.freshScreens(), 1);
}

TEST(TextPanel, RefusesATextTooLongForTheCountByte) {
    IssBench b;
    const std::string longest(254, 'x');
    auto out = lines(b.run([&] { panelWriteText(0, 0, longest.c_str()); }));
    EXPECT_EQ(out, Lines{writeLine(5)});
    EXPECT_EQ(b.bench.port.received.at(3), 0xFF);
    EXPECT_EQ(b.bench.port.received.size(), 5u + 254u);

    b.bench.port.clearReceived();
    const std::string tooLong(255, 'y');
    out = lines(b.run([&] { panelWriteText(0, 0, tooLong.c_str()); }));
    EXPECT_EQ(out, Lines{"panelWriteText: text of 255 characters refused, 254 at most"});
    EXPECT_TRUE(b.bench.port.received.empty());
}

TEST(TextPanel, PollPrintsTheFourStatusBytesAndReturnsTheKeys) {
    IssBench b;
    b.rig.panel.press(sim::TextPanelModel::kKey3);
    const int64_t start = b.bench.now();
    int keys = -1;
    auto out = lines(b.run([&] { keys = setModeIICpollDisp(0, 32); }));
    EXPECT_EQ(b.framesFrom(), (std::vector<Bytes>{{0x54, 0xC7, 0x04}}));
    // Free buffer space, keys low and high, revision.
    EXPECT_EQ(out, (Lines{writeLine(3), "setModeIICpollDisp: 40 04   00 05 "}));
    EXPECT_EQ(keys, 4);
    EXPECT_GE(b.bench.now() - start, 600);
}

TEST(TextPanel, UnansweredPollSeesItsOwnAddressAsTheKeys) {
    IssBench b;
    b.rig.adapter.silent = true;
    fillIoBuf();
    int keys = -1;
    auto out = lines(b.run([&] { keys = setModeIICpollDisp(0, 32); }));
    EXPECT_EQ(out.back(), "setModeIICpollDisp: 54 C7   04 A3 ");
    EXPECT_EQ(keys, 0xC7);
}

const Bytes kPatternFrame = [] {
    Bytes f = {0x55, 0x0A, 0x10, 0x21, 0x05, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x7F, 0x7F, 0xFF, 0x7F, 0xFF};
    f.insert(f.end(), 19, 0x7F);
    f.push_back(0xFF);
    return f;
}();

TEST(PlotDevice, PatternSendsThirtySevenBytesAndAPointAfterItShowsThirtyTwo) {
    IssBench b;
    ASSERT_EQ(kPatternFrame.size(), 37u);
    int result = -1;
    const int64_t start = b.bench.now();
    auto out = lines(b.run([&] { result = ppSendPattern(0); }));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(b.framesFrom(), std::vector<Bytes>{kPatternFrame});
    EXPECT_EQ(out, (Lines{writeLine(37), " pp: 37 33,  32 "}));
    EXPECT_GE(b.bench.now() - start, 600);
    EXPECT_EQ(b.rig.plot.patterns(), 1);
    // The first pattern byte FF lights cells 0 and 1 of row 0 at full level.
    EXPECT_EQ(b.rig.plot.cell(0, 0), (sim::PlotModel::Colour{0xFF, 0xFF, 0xFF}));
    // Byte 5 is 7F: cell 10 (row 1, x 2) at level 7.
    EXPECT_EQ(b.rig.plot.cell(2, 1), (sim::PlotModel::Colour{0x77, 0x77, 0x77}));

    out = lines(b.run([&] { result = ppSendPoint(0, 0x103, 2, 0x80, 0x40, 0x20); }));
    EXPECT_EQ(result, 0);
    const Bytes point = {0x55, 0x0A, 0x10, 0x07, 0x00, 0x03, 0x02, 0x80, 0x40, 0x20, 0x20};
    EXPECT_EQ(b.framesFrom(1), std::vector<Bytes>{point});
    EXPECT_EQ(out, (Lines{writeLine(11), " pp: 11 7,  32 ack:255"}));
    EXPECT_EQ(b.rig.plot.cell(3, 2), (sim::PlotModel::Colour{0x80, 0x40, 0x20}));
}

TEST(PlotDevice, PointAckReportsTheAdaptersReply) {
    IssBench b;
    auto ack = [&b] { return lines(b.run([] { ppSendPoint(0, 1, 1, 1, 1, 1); })).back(); };
    EXPECT_EQ(ack(), " pp: 11 7,  0 ack:255");  // nothing stood past a frame yet
    b.rig.adapter.attach(0x0A, nullptr);        // the device is gone: not acknowledged
    EXPECT_EQ(ack(), " pp: 11 7,  0 ack:0");
    b.rig.adapter.silent = true;  // no reply: the frame's first byte stays
    EXPECT_EQ(ack(), " pp: 11 7,  0 ack:85");
}

}  // namespace
}  // namespace bc
