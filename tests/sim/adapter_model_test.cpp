#include <gtest/gtest.h>

#include "iss/adapter_interface.h"
#include "sim/iss_rig.h"

namespace bc {
namespace {

using Bytes = std::vector<uint8_t>;

// The model on a bare port, fed by hand.
struct Wire {
    sim::IssRig rig;
    sim::SimPort port;

    void feed(const Bytes& bytes, size_t chunk) {
        for (size_t i = 0; i < bytes.size(); i += chunk)
            rig.adapter.receive(bytes.data() + i, std::min(chunk, bytes.size() - i), 0, port);
    }
    Bytes answer() {
        Bytes got(port.pendingBytes());
        DWORD n = 0;
        port.read(got.data(), DWORD(got.size()), 1'000'000, n);
        got.resize(n);
        return got;
    }
};

// A stream of every kind of frame: version, IO mode, set pins, a panel
// write of two characters, a panel poll, a range-finder read, the 0x12 page.
const Bytes kStream = {0x5A, 0x01, 0x5A, 0x02, 0x00, 0x00, 0x63, 0x0A, 0x55, 0xC6, 0x00, 0x03, 0x0C,
                       'h',  'i',  0x54, 0xC7, 0x04, 0x55, 0xE1, 0x00, 0x06, 0x5A, 0x12, 0x00, 0x00};
const std::vector<Bytes> kFrames = {{0x5A, 0x01},
                                    {0x5A, 0x02, 0x00, 0x00},
                                    {0x63, 0x0A},
                                    {0x55, 0xC6, 0x00, 0x03, 0x0C, 'h', 'i'},
                                    {0x54, 0xC7, 0x04},
                                    {0x55, 0xE1, 0x00, 0x06},
                                    {0x5A, 0x12, 0x00, 0x00}};

TEST(AdapterModel, FramesAreFoundWhateverTheChunksTheyArriveIn) {
    Bytes reference;
    for (size_t chunk : {kStream.size(), size_t(1), size_t(2), size_t(3), size_t(5), size_t(7)}) {
        SCOPED_TRACE(chunk);
        Wire w;
        w.feed(kStream, chunk);
        EXPECT_EQ(w.rig.adapter.frames, kFrames);
        EXPECT_TRUE(w.rig.adapter.partialFrame().empty());
        const Bytes reply = w.answer();
        // 3 + 2 + 1 + 1 + 4 + 6 + 8 bytes, each frame its stated length.
        EXPECT_EQ(reply.size(), 25u);
        if (reference.empty()) reference = reply;
        EXPECT_EQ(reply, reference);
    }
}

TEST(AdapterModel, ReplyLengthsFollowTheInterfaceTable) {
    for (const Bytes& f : kFrames) {
        Wire w;
        w.feed(f, f.size());
        EXPECT_EQ(int(w.answer().size()), iss::replyLength(f.data(), f.size()));
    }
    const struct {
        Bytes frame;
        int reply;
    } table[] = {{{0x5A, 0x01}, 3},
                 {{0x5A, 0x03}, 7},
                 {{0x5A, 0x02, 0x00, 0x00}, 2},
                 {{0x5A, 0x02, 0x10, 0x00}, 2},
                 {{0x5A, 0x10, 0x0C, 0x00}, 1},
                 {{0x5A, 0x12, 0x00, 0x00}, 8},
                 {{0x63, 0x0E}, 1},
                 {{0x55, 0xE0, 0x00, 0x01, 0x51}, 1},
                 {{0x55, 0xE1, 0x00, 0x06}, 6},
                 {{0x54, 0xC7, 0x04}, 4}};
    for (const auto& row : table) {
        EXPECT_EQ(iss::frameLength(row.frame.data(), row.frame.size()), int(row.frame.size()));
        EXPECT_EQ(iss::replyLength(row.frame.data(), row.frame.size()), row.reply);
    }
}

TEST(AdapterModel, AnUnknownByteIsSkippedAndTheNextFrameStillFound) {
    Wire w;
    w.feed({0x00, 0x5A, 0x7F, 0x5A, 0x01}, 1);
    EXPECT_EQ(w.rig.adapter.discardedBytes, 3u);  // 00, the 5A of "5A 7F", 7F
    EXPECT_EQ(w.rig.adapter.frames, (std::vector<Bytes>{{0x5A, 0x01}}));
    EXPECT_EQ(w.answer().size(), 3u);
}

TEST(AdapterModel, PinsFollowOnlyOutputPinsInIoMode) {
    Wire w;
    auto& a = w.rig.adapter;
    w.feed({0x63, 0x0F}, 2);
    EXPECT_EQ(w.answer(), Bytes{0x00});  // not in IO mode
    EXPECT_EQ(a.pins(), 0);
    // IO mode with pins 0 and 1 outputs, 2 and 3 inputs.
    w.feed({0x5A, 0x02, 0x00, 0x50, 0x63, 0x0F}, 6);
    EXPECT_EQ(w.answer(), (Bytes{0xFF, 0x00, 0xFF}));
    EXPECT_EQ(a.pins(), 0x03);
    w.feed({0x5A, 0x02, 0x10, 0x00, 0x63, 0x0C}, 6);
    EXPECT_EQ(a.pins(), 0x0C);
    EXPECT_EQ(a.pinFrames, (Bytes{0x0F, 0x0F, 0x0C}));
    // An unknown mode is refused and changes nothing.
    w.answer();
    w.feed({0x5A, 0x02, 0x99, 0x00}, 4);
    EXPECT_EQ(w.answer(), (Bytes{0x00, 0x05}));
    EXPECT_TRUE(a.inIoMode());
}

TEST(AdapterModel, TheBusAnswersOnlyInAnI2cModeAndAtAnAttachedAddress) {
    Wire w;
    w.feed({0x55, 0xC6, 0x00, 0x01, 'A'}, 5);
    EXPECT_EQ(w.answer(), Bytes{0xFF});
    w.feed({0x55, 0x42, 0x00, 0x01, 'A'}, 5);  // nothing at 0x42
    EXPECT_EQ(w.answer(), Bytes{0x00});
    w.feed({0x5A, 0x02, 0x00, 0x00}, 4);  // IO mode: the bus lines are pins now
    w.answer();
    w.feed({0x55, 0xC6, 0x00, 0x01, 'B'}, 5);
    EXPECT_EQ(w.answer(), Bytes{0x00});
    w.feed({0x55, 0xE1, 0x00, 0x02}, 4);
    EXPECT_EQ(w.answer(), (Bytes{0x00, 0x00}));
    EXPECT_EQ(w.rig.panel.row(0).substr(0, 2), "A ");
}

TEST(AdapterModel, SilenceAndShortRepliesStillTakeTheFrames) {
    Wire w;
    w.rig.adapter.silent = true;
    w.feed({0x5A, 0x01, 0x5A, 0x02, 0x00, 0x00}, 6);
    EXPECT_TRUE(w.answer().empty());
    EXPECT_TRUE(w.rig.adapter.inIoMode());
    w.rig.adapter.silent = false;
    w.rig.adapter.replyLimit = 2;
    w.feed({0x5A, 0x03}, 2);
    EXPECT_EQ(w.answer(), (Bytes{'0', '0'}));
}

// As the module's documentation has it: id 7, firmware, the mode (I2C at
// 100 kHz after power-on), and the serial number in eight ASCII digits, one
// more than the routine reads.
TEST(AdapterModel, VersionAndSerialNumberReportTheModule) {
    Wire w;
    w.feed({0x5A, 0x01, 0x5A, 0x03}, 4);
    EXPECT_EQ(w.answer(), (Bytes{0x07, 0x05, 0x40, '0', '0', '0', '1', '2', '3', '4', '5'}));
    w.rig.adapter.serialNumber = "9876543";  // too short: made up with '0'
    w.feed({0x5A, 0x03}, 2);
    EXPECT_EQ(w.answer(), (Bytes{'9', '8', '7', '6', '5', '4', '3', '0'}));
    const Bytes serial = {0x5A, 0x03};
    EXPECT_EQ(iss::replyLength(serial.data(), 2), 7);
    EXPECT_EQ(iss::answerLength(serial.data(), 2), 8);
}

// A reply reaches the host a USB frame after its frame, not at once.
TEST(AdapterModel, RepliesComeAMillisecondAfterTheFrame) {
    Wire w;
    const Bytes version = {0x5A, 0x01};
    w.rig.adapter.receive(version.data(), 2, 500, w.port);
    EXPECT_EQ(w.port.arrivedBytes(500), 0u);
    EXPECT_EQ(w.port.nextByteAt(500), 501);
    EXPECT_EQ(w.port.arrivedBytes(501), 3u);
    w.rig.adapter.replyDelayMs = 0;
    w.rig.adapter.receive(version.data(), 2, 600, w.port);
    EXPECT_EQ(w.port.arrivedBytes(600), 6u);
}

// While it ranges (up to 65 ms) the range finder does not answer on the
// bus: a write is not acknowledged (00) and changes nothing, a read brings
// 0xFF bytes. Then both work again.
TEST(AdapterModel, TheRangeFinderDoesNotAnswerWhileItRanges) {
    Wire w;
    auto at = [&w](const Bytes& frame, int64_t now) {
        w.rig.adapter.receive(frame.data(), frame.size(), now, w.port);
        Bytes got(w.port.pendingBytes());
        DWORD n = 0;
        w.port.read(got.data(), DWORD(got.size()), now + 1000, n);
        got.resize(n);
        return got;
    };
    const Bytes range = {0x55, 0xE0, 0x00, 0x01, 0x51}, read = {0x55, 0xE1, 0x00, 0x04};
    EXPECT_EQ(at(range, 0), Bytes{0xFF});
    EXPECT_EQ(at(range, 10), Bytes{0x00});
    EXPECT_EQ(w.rig.ranger.rangings(), 1);
    EXPECT_EQ(at(read, 64), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(at(read, 65), (Bytes{w.rig.ranger.revision, w.rig.ranger.light, 0x00, 100}));
    EXPECT_EQ(at(range, 65), Bytes{0xFF});
    EXPECT_EQ(w.rig.ranger.rangings(), 2);
}

}  // namespace
}  // namespace bc
