// The real adapter answers its serial-number frame (5A 03) with eight ASCII
// digits, "00012345"; issSerialNumber reads the seven its reply length
// names. The eighth must cost nothing beyond itself: every later reply in
// its place, on the simulated bench in virtual time and over a real
// pseudo-terminal with the test playing the adapter.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>

#include <string>

#include "iss/adapter_commands.h"
#include "iss/adapter_interface.h"
#include "iss/range_finder.h"
#include "tests/support/iss_fixture.h"
#include "tests/support/process.h"
#include "tests/support/pty.h"
#include "tests/support/scratch_dir.h"

namespace bc {
namespace {

using test::IssBench;
using test::lines;
using test::writeLine;
using Lines = std::vector<std::string>;

// After the serial number, the version and a ranging read their own bytes:
// 07 05 40, and the echoes at 100 and 300 cm (a bar 100 / 4 wide). Read one
// byte late they would begin with '5', the eighth digit.
TEST(EightByteSerialNumber, OnTheBenchEveryLaterReplyIsInItsPlace) {
    IssBench b;
    b.rig.ranger.echoesCm = {100, 300};
    const auto out = lines(b.run([] {
        issSerialNumber(0);
        issVersion(0);
        srf08Range(0);
    }));
    EXPECT_EQ(out, (Lines{writeLine(2), "ISS:5A-03:ser: 30 30 30-31 32 33 34", "ISS:5A-03:ser: 000-1234", writeLine(2),
                          "ISS:5A-01:ver: 07 05 40 ", writeLine(5), writeLine(4),
                          "srf08: 000300 cm,  000100 cm " + std::string(24, '0') + "1+"}));
    EXPECT_EQ(b.bench.port.pendingBytes(), 0u);
}

// The adapter as the test plays it on the master side: the module's own
// answers, frame by frame (version 07, firmware 05, mode 40; the serial
// number in eight digits; FF 00 to a mode command; FF to a set-pins frame).
class PlayedAdapter {
public:
    explicit PlayedAdapter(test::Pty& pty) : pty_(pty) {}

    // Answers every whole frame that has come within `ms`.
    void serve(int ms) {
        pollfd p{pty_.master(), POLLIN, 0};
        if (poll(&p, 1, ms) <= 0) return;
        char buf[256];
        const ssize_t n = read(pty_.master(), buf, sizeof buf);
        if (n > 0) heard_.append(buf, size_t(n));
        for (int len; !heard_.empty() && (len = frameLength()) > 0 && size_t(len) <= heard_.size();) {
            pty_.write(answer(heard_.substr(0, size_t(len))));
            heard_.erase(0, size_t(len));
        }
    }

private:
    int frameLength() const {
        return iss::frameLength(reinterpret_cast<const unsigned char*>(heard_.data()), heard_.size());
    }
    static std::string answer(const std::string& frame) {
        if (frame == "\x5A\x01") return "\x07\x05\x40";
        if (frame == "\x5A\x03") return "00012345";
        if (frame[0] == '\x5A' && frame[1] == '\x02') return std::string("\xFF\x00", 2);
        if (frame[0] == '\x63') return "\xFF";
        return "";
    }

    test::Pty& pty_;
    std::string heard_;
};

// demoMax7219Xyz asks the version and the serial number, then sets IO mode
// twice: both mode replies must read FF 00, not 35 FF (the eighth digit and
// the first reply) and 00 FF. The trace shows the digit go before the frame.
TEST(EightByteSerialNumber, OverAPseudoTerminalTheModeRepliesAreNotShifted) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    test::ScratchDir s;
    const std::string trace = (s.dir / "port.trace").string();
    test::Child demo({BENCHCOM_RUN_PATH, "demoMax7219Xyz"},
                     {"BENCHCOM_PORT=" + pty.slavePath(), "BENCHCOM_TRACE=" + trace});
    PlayedAdapter adapter(pty);
    const std::string loop = " sendMAX2719xyz( fd , 1,1, 1 ); \n";
    for (const auto start = test::timeMark(); demo.result.out.find(loop) == std::string::npos;) {
        ASSERT_LT(test::msSince(start), 10000) << demo.result.out;
        adapter.serve(5);
        demo.pump(0);
    }
    demo.signal(SIGINT);
    for (const auto start = test::timeMark(); !demo.exited() && test::msSince(start) < 5000;) {
        adapter.serve(5);
        demo.pump(0);
    }
    auto& r = demo.finish();
    EXPECT_EQ(r.status, 130);
    const std::string separator = "\n ==================== \n";
    EXPECT_EQ(r.out.substr(0, r.out.find(loop) + loop.size()),
              " serial port COM9 connect OK \n\r" + separator + writeLine(2) + "\nISS:5A-01:ver: 07 05 40 \n" +
                  writeLine(2) + "\nISS:5A-03:ser: 30 30 30-31 32 33 34\nISS:5A-03:ser: 000-1234\n" + separator +
                  writeLine(4) + "\nISS:5A-02-00:IO-mode: FF 00 \n" + writeLine(4) +
                  "\nISS:5A-02-00:IO-mode: FF 00 \n" + loop);
    const std::string t = test::slurp(trace);
    const size_t drop = t.find("ClearCommError errors 0x0000, in queue 1, out queue 0\n");
    ASSERT_NE(drop, std::string::npos) << t;
    EXPECT_NE(t.find("< 35 ", drop), std::string::npos);
    EXPECT_LT(t.find("< 35 ", drop), t.find("> 5a 02 00 00 ", drop));
}

}  // namespace
}  // namespace bc
