#include "sim/line_router.h"

#include <gtest/gtest.h>

#include <string>

namespace bc::sim {
namespace {

// Records its bytes; a message ends at '\r' or '\n' (instrument) or after a
// fixed frame length (adapter).
class Recorder : public Peer {
public:
    explicit Recorder(size_t frameLength = 0) : frameLength_(frameLength) {}
    void receive(const uint8_t* bytes, size_t count, int64_t, SimPort&) override {
        for (size_t i = 0; i < count; ++i) {
            got.push_back(char(bytes[i]));
            ++inMessage_;
            bool ends = frameLength_ ? inMessage_ == frameLength_ : bytes[i] == '\r' || bytes[i] == '\n';
            if (ends) inMessage_ = 0;
        }
    }
    bool midMessage() const override { return inMessage_ != 0; }
    std::string got;

private:
    size_t frameLength_;
    size_t inMessage_ = 0;
};

void feed(LineRouter& bench, SimPort& port, const std::string& bytes) {
    bench.receive(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 0, port);
}

TEST(LineRouter, EachMessageGoesToTheDeviceItsFirstByteNames) {
    Recorder scope, adapter(2);
    LineRouter bench(scope, adapter);
    SimPort port;
    feed(bench, port, "*RST\r");
    feed(bench, port, std::string("\x5A\x01", 2));
    feed(bench, port, ":TIM:DEL -3.0E-03\r\n");
    feed(bench, port, "\x63\x0A\x63\x08");  // two frames in one write
    EXPECT_EQ(scope.got, "*RST\r:TIM:DEL -3.0E-03\r\n");
    EXPECT_EQ(adapter.got, "\x5A\x01\x63\x0A\x63\x08");
    EXPECT_EQ(bench.strayBytes(), 0u);
}

TEST(LineRouter, MessageSplitAcrossWritesStaysWithItsDevice) {
    Recorder scope, adapter(4);
    LineRouter bench(scope, adapter);
    SimPort port;
    // An adapter frame whose later bytes look like instrument text.
    feed(bench, port, "\x55\xC6");
    feed(bench, port, "*:");
    feed(bench, port, ":acq");
    EXPECT_TRUE(bench.midMessage());
    feed(bench, port, "uire1:memory?\r");
    EXPECT_EQ(adapter.got, "\x55\xC6*:");
    EXPECT_EQ(scope.got, ":acquire1:memory?\r");
    EXPECT_FALSE(bench.midMessage());
}

TEST(LineRouter, BytesThatBeginNoKnownMessageAreDropped) {
    Recorder scope, adapter(2);
    LineRouter bench(scope, adapter);
    SimPort port;
    feed(bench, port, "xyz*idn?\r");
    EXPECT_EQ(scope.got, "*idn?\r");
    EXPECT_EQ(bench.strayBytes(), 3u);
}

}  // namespace
}  // namespace bc::sim
