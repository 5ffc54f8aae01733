#include "iss/adapter_commands.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/iss_fixture.h"

namespace bc {
namespace {

using test::Bytes;
using test::IssBench;
using test::lines;
using test::writeLine;

// What each single adapter command sends, how much it reads back, and the
// line it prints from the simulated adapter's reply and, with the adapter
// silent, from the bytes left in ioBuf (the frame over a known filling).
struct Command {
    const char* name;
    std::function<void()> call;
    Bytes frame;
    int replyLength;
    size_t leftInPort;  // what the adapter sends beyond the reply length
    std::vector<std::string> answered;
    std::vector<std::string> unanswered;
};

std::vector<Command> commands() {
    return {
        {"issVersion",
         [] { issVersion(-7); },
         {0x5A, 0x01},
         3,
         0,
         {"ISS:5A-01:ver: 07 05 40 "},
         {"ISS:5A-01:ver: 5A 01 A2 "}},
        {"issSerialNumber",
         [] { issSerialNumber(0); },
         {0x5A, 0x03},
         7,
         1,  // the eighth character of "00012345"
         {"ISS:5A-03:ser: 30 30 30-31 32 33 34", "ISS:5A-03:ser: 000-1234"},
         {"ISS:5A-03:ser: 5A 03 A2-A3 A4 A5 A6", "ISS:5A-03:ser: Z\x03\xA2-\xA3\xA4\xA5\xA6"}},
        {"issSetIoMode",
         [] { issSetIoMode(3, 0x100); },
         {0x5A, 0x02, 0x00, 0x00},
         2,
         0,
         {"ISS:5A-02-00:IO-mode: FF 00 "},
         {"ISS:5A-02-00:IO-mode: 5A 02 "}},
        {"issChangeIoMode",
         [] { issChangeIoMode(3, 0x203); },
         {0x5A, 0x02, 0x10, 0x03},
         2,
         0,
         {"ISS:5A-02-00:IO-mode: FF 00 "},
         {"ISS:5A-02-00:IO-mode: 5A 02 "}},
        {"issCmd5A10", [] { issCmd5A10(1, 0x1FE); }, {0x5A, 0x10, 0xFE, 0x00}, 1, 0, {"FF "}, {"5A "}},
        {"issSetPins", [] { issSetPins(0, 0x10A); }, {0x63, 0x0A}, 1, 0, {}, {}},
    };
}

void fillIoBuf() {
    for (int i = 0; i < ioBufSize; ++i) ioBuf[i] = static_cast<unsigned char>(0xA0 + i);
}

void checkCommand(const Command& c, bool silent) {
    SCOPED_TRACE(std::string(c.name) + (silent ? " unanswered" : " answered"));
    IssBench b;
    b.rig.adapter.silent = silent;
    fillIoBuf();
    const int64_t start = b.bench.now();
    auto out = lines(b.run(c.call));

    ASSERT_EQ(b.framesFrom(), std::vector<Bytes>{c.frame});
    std::vector<std::string> expected = {writeLine(int(c.frame.size()))};
    const auto& printed = silent ? c.unanswered : c.answered;
    expected.insert(expected.end(), printed.begin(), printed.end());
    EXPECT_EQ(out, expected);
    if (silent) {
        // The read waited out its whole time-out, 100 ms + 1 ms a byte asked.
        EXPECT_EQ(b.bench.now() - start, 100 + c.replyLength);
    } else {
        // The whole reply was taken, and nothing was waited for beyond it.
        EXPECT_EQ(int(iBytesRead), c.replyLength);
        EXPECT_EQ(b.bench.port.pendingBytes(), c.leftInPort);
        EXPECT_LT(b.bench.now() - start, 100);
    }
}

TEST(AdapterCommands, EachSendsItsFrameReadsItsReplyAndPrintsItsLine) {
    for (const Command& c : commands()) checkCommand(c, false);
}

TEST(AdapterCommands, WithoutAnAnswerEachPrintsTheBytesLeftInTheBuffer) {
    for (const Command& c : commands()) checkCommand(c, true);
}

TEST(AdapterCommands, ReplyBytesPrintAsUnsignedHex) {
    IssBench b;
    b.rig.adapter.moduleId = 0x80;
    b.rig.adapter.firmware = 0xFF;
    EXPECT_EQ(lines(b.run([] { issVersion(0); })).back(), "ISS:5A-01:ver: 80 FF 40 ");
}

TEST(AdapterCommands, AShortReplyKeepsTheRestOfTheFrame) {
    IssBench b;
    fillIoBuf();
    b.rig.adapter.replyLimit = 1;
    EXPECT_EQ(lines(b.run([] { issVersion(0); })).back(), "ISS:5A-01:ver: 07 01 A2 ");
}

TEST(AdapterCommands, ModeCommandsPutThePinsUnderTheSetPinsFrames) {
    IssBench b;
    b.run([] { issSetPins(0, 0x0E); });
    EXPECT_EQ(b.rig.adapter.pins(), 0);  // still in I2C mode: the pins stay
    b.run([] {
        issSetIoMode(0, 0);
        issChangeIoMode(0, 0);
        issSetPins(0, 0x10A);
    });
    EXPECT_TRUE(b.rig.adapter.inIoMode());
    EXPECT_EQ(b.rig.adapter.pins(), 0x0A);
}

TEST(AdapterCommands, Read5A12PrintsItsFourLinesInOrder) {
    IssBench b;
    int64_t start = b.bench.now();
    auto out = lines(b.run([] { issRead5A12(5); }));
    // The selection (12), then a status page: selector, mode (I2C), pin
    // types (all inputs), pin levels.
    EXPECT_EQ(out, (std::vector<std::string>{writeLine(4), "FF ", writeLine(4), "0C 40   55 00 "}));
    EXPECT_EQ(b.framesFrom(), (std::vector<Bytes>{{0x5A, 0x10, 0x0C, 0x00}, {0x5A, 0x12, 0x00, 0x00}}));
    EXPECT_EQ(int(iBytesRead), 8);  // read in full, shown in part
    EXPECT_GE(b.bench.now() - start, 600);
}

TEST(AdapterCommands, Read5A12UnansweredShowsItsOwnFrame) {
    IssBench b;
    b.rig.adapter.silent = true;
    auto out = lines(b.run([] { issRead5A12(5); }));
    EXPECT_EQ(out, (std::vector<std::string>{writeLine(4), "5A ", writeLine(4), "5A 12   00 00 "}));
}

}  // namespace
}  // namespace bc
