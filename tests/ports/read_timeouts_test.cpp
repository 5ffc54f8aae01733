// ReadFile's time-out rules on a port whose clock runs in microseconds and
// moves a little with every call, as a real one does: no wait may end before
// its deadline, even when a millisecond boundary falls between the moment a
// byte is taken and the moment the next wait is worked out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ports/polled_port.h"

namespace bc::ports {
namespace {

class ScriptedPort final : public PolledPort {
public:
    struct Arrival {
        int64_t atUs;
        std::string bytes;
    };
    std::vector<Arrival> arrivals;
    int64_t clockUs = 0;
    int64_t costUs = 2;       // each read takes this long, each clock reading 1 us
    int64_t lastTakeUs = -1;  // when the last byte was taken
    std::vector<int64_t> waitsUs;

    DWORD setupComm(DWORD, DWORD) override { return 0; }
    DWORD getState(DCB&) override { return 0; }
    DWORD setState(const DCB&) override { return 0; }
    DWORD setTimeouts(const COMMTIMEOUTS& t) override {
        timeouts = t;
        return 0;
    }
    DWORD escape(DWORD) override { return 0; }
    DWORD modemStatus(DWORD&) override { return 0; }
    DWORD purge(DWORD) override { return 0; }
    DWORD clearError(DWORD&, COMSTAT&) override { return 0; }
    DWORD write(const uint8_t*, DWORD, DWORD& written) override {
        written = 0;
        return 0;
    }
    void release() override {}

    int64_t nowUs() override { return clockUs++; }

    DWORD readNow(uint8_t* into, DWORD max, DWORD& got) override {
        got = 0;
        while (!arrivals.empty() && arrivals.front().atUs <= clockUs && got < max) {
            std::string& b = arrivals.front().bytes;
            const size_t n = std::min<size_t>(b.size(), max - got);
            std::copy(b.begin(), b.begin() + long(n), into + got);
            got += DWORD(n);
            b.erase(0, n);
            if (b.empty()) arrivals.erase(arrivals.begin());
        }
        if (got) lastTakeUs = clockUs;
        clockUs += costUs;
        return 0;
    }

    DWORD waitReadable(int64_t timeoutUs, bool& readable) override {
        waitsUs.push_back(timeoutUs);
        const int64_t next = arrivals.empty() ? -1 : arrivals.front().atUs;
        readable = next >= 0 && (timeoutUs < 0 || next <= clockUs + timeoutUs);
        if (readable)
            clockUs = std::max(clockUs, next);
        else if (timeoutUs >= 0)
            clockUs += timeoutUs;
        return 0;
    }
};

COMMTIMEOUTS toolTimeouts() {
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = 100;
    t.ReadTotalTimeoutConstant = 100;
    t.ReadTotalTimeoutMultiplier = 1;
    return t;
}

TEST(ReadTimeouts, IntervalRunsFromTheLastByteToTheMicrosecond) {
    ScriptedPort port;
    port.timeouts = toolTimeouts();
    // The reply is there when the read starts at 0.995 ms; it is taken at
    // 0.997 ms, and the clock passes the 1 ms boundary before the interval
    // wait is worked out.
    port.clockUs = 995;
    port.arrivals = {{0, "0123456789"}};
    uint8_t buf[999];
    DWORD got = 0;
    EXPECT_EQ(timedRead(port, buf, sizeof buf, got), 0u);
    EXPECT_EQ(got, 10u);
    ASSERT_EQ(port.lastTakeUs, 997);
    EXPECT_GE(port.clockUs, 997 + 100000);  // never early
    EXPECT_LT(port.clockUs, 997 + 100000 + 50);
    // The interval wait asked of the port is not rounded to whole milliseconds.
    ASSERT_FALSE(port.waitsUs.empty());
    EXPECT_NE(port.waitsUs.back() % 1000, 0);
}

TEST(ReadTimeouts, TotalRunsFromTheStartOfTheRead) {
    ScriptedPort port;
    port.timeouts = toolTimeouts();
    port.clockUs = 1500;
    uint8_t buf[10];
    DWORD got = 7;
    EXPECT_EQ(timedRead(port, buf, sizeof buf, got), 0u);
    EXPECT_EQ(got, 0u);
    EXPECT_GE(port.clockUs, 1500 + 110000);  // 100 ms + 1 ms per byte asked
    EXPECT_LT(port.clockUs, 1500 + 110000 + 50);
}

TEST(ReadTimeouts, TotalHoldsWhenBytesTrickleInAcrossMillisecondBoundaries) {
    ScriptedPort port;
    port.timeouts = toolTimeouts();
    port.clockUs = 999;
    // A byte every 60.5 ms: the interval never runs out, the total does.
    for (int i = 1; i <= 3; ++i) port.arrivals.push_back({999 + i * 60500, "x"});
    uint8_t buf[20];
    DWORD got = 0;
    EXPECT_EQ(timedRead(port, buf, sizeof buf, got), 0u);
    EXPECT_EQ(got, 1u);  // the second byte would come at 121.999 ms, after the 120 ms total
    EXPECT_GE(port.clockUs, 999 + 120000);
    EXPECT_LT(port.clockUs, 999 + 120000 + 50);
}

// Multiplier x count + constant, in milliseconds, for reads and writes alike.
TEST(TotalTimeout, MultiplierTimesCountPlusConstant) {
    EXPECT_EQ(totalTimeoutUs(1, 5, 37), 42000);
    EXPECT_EQ(totalTimeoutUs(1, 100, 8014), 8114000);
    EXPECT_EQ(totalTimeoutUs(2, 0, 3), 6000);
    EXPECT_EQ(totalTimeoutUs(0, 100, 9), 100000);
    EXPECT_EQ(totalTimeoutUs(0, 0, 1000), -1);  // no total limit at all
}

}  // namespace
}  // namespace bc::ports
