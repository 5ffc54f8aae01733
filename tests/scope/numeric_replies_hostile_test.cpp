// Numeric replies an instrument should never send: not-a-number, infinities,
// numbers far out of range, negative and fractional table indexes, nothing
// at all, binary garbage and replies longer than the one read that takes
// them. The value a query returns is the number its reply begins with (0
// when it begins with none), and the settings lines and labels of a capture
// follow that value.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "scope/command_channel.h"
#include "scope/scope_interface.h"
#include "scope/single_capture.h"
#include "tests/support/scope_fixture.h"

namespace bc {
namespace {

using test::fmt;
using test::InScratchDir;
using test::lines;
using test::readFile;
using test::ScopeBench;
using test::StdoutCapture;

const std::string kQueryTrace =
    "\n\n==============================================\n\r\n\r ScopeSendCmd: :TIM:SCAL?\n \n\r";

struct HostileReply {
    std::string bytes;  // as the instrument sends them
    float value;        // the number they begin with
    const char* probe;  // the probe label of that value ("1X", "10X", "100X" for 0..2)
    const char* mode;   // the sweep-mode label ("Main", "Window", "WinZoom", "Roll", "XY" for 0..4)
};

const std::vector<HostileReply>& hostileReplies() {
    static const std::vector<HostileReply> replies = {
        {"nan\n", NAN, "", ""},
        {"inf\n", INFINITY, "", ""},
        {"-inf\n", -INFINITY, "", ""},
        {" 1e30\n", 1e30f, "", ""},
        {"-5\n", -5.0f, "", ""},
        {" 3.99\n", 3.99f, "", "Roll"},
        {"", 0.0f, "1X", "Main"},
        {std::string("\xff\x01\x80garbage\x7f\n", 12), 0.0f, "1X", "Main"},
        {std::string("\0 7\n", 4), 0.0f, "1X", "Main"},
    };
    return replies;
}

// The reply as "%s" prints it: up to its first zero byte.
std::string asPrinted(const std::string& reply) { return reply.substr(0, reply.find('\0')); }

struct Query {
    float value;
    std::string out;
    int64_t elapsed;
};

Query query(ScopeBench& s, const char* text) {
    StdoutCapture out;
    const int64_t start = s.bench.now();
    const float value = scopeQueryValue(0, text);
    return {value, out.take(), s.bench.now() - start};
}

bool same(float a, float b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

TEST(HostileNumericReplies, AQueryReturnsAndPrintsTheNumberItsReplyBeginsWith) {
    for (const HostileReply& r : hostileReplies()) {
        ScopeBench s(false);
        s.bench.port.send(r.bytes, s.bench.now() + 5);
        const Query q = query(s, ":TIM:SCAL?\n");
        EXPECT_TRUE(same(q.value, r.value)) << r.bytes << ": " << q.value;
        EXPECT_EQ(q.out, kQueryTrace + fmt("%5d,%E,", int(r.bytes.size()), double(r.value)) + asPrinted(r.bytes) + "\n")
            << r.bytes;
        // 600 ms wait (and the clock readings of the wait), then one read:
        // 100 ms after the reply, or the whole 100 + 999 ms when nothing comes.
        const int64_t read = r.bytes.empty() ? 100 + 999 : 100;
        EXPECT_GE(q.elapsed, 600 + read) << r.bytes;
        EXPECT_LE(q.elapsed, 600 + read + 5) << r.bytes;
    }
}

TEST(HostileNumericReplies, RepliesBeyond999BytesAreCutAndTheirTailsOpenTheNextReply) {
    // 1200 ones: the 999 read make a number far beyond float range, read as
    // infinity; the 201 left over begin the next reply and make it infinite
    // too; the reply after that is read clean.
    ScopeBench s(false);
    s.bench.port.send(std::string(1200, '1'), s.bench.now() + 5);
    const Query first = query(s, ":TIM:SCAL?\n");
    EXPECT_EQ(first.value, INFINITY);
    EXPECT_EQ(iQueryBytesRead, 999u);
    EXPECT_EQ(first.out, kQueryTrace + "  999,INF," + std::string(999, '1') + "\n");

    s.bench.port.send(" 2.000e+00\n", s.bench.now() + 5);
    const Query second = query(s, ":TIM:SCAL?\n");
    EXPECT_EQ(second.value, INFINITY);
    EXPECT_EQ(second.out, kQueryTrace + "  212,INF," + std::string(201, '1') + " 2.000e+00\n\n");

    s.bench.port.send(" 2.000e+00\n", s.bench.now() + 5);
    EXPECT_EQ(query(s, ":TIM:SCAL?\n").value, 2.0f);

    // Binary garbage of the same length: nothing to read a number from.
    s.bench.port.send(std::string(1500, '\xfe'), s.bench.now() + 5);
    const Query garbage = query(s, ":TIM:SCAL?\n");
    EXPECT_EQ(garbage.value, 0.0f);
    EXPECT_EQ(garbage.out, kQueryTrace + "  999,0.000000E+00," + std::string(999, '\xfe') + "\n");
    EXPECT_EQ(s.bench.port.pendingBytes(), 501u);
}

// Every settings query of a single-channel capture answered with the same
// hostile reply: each numeric line shows the value read, the two labels
// the entries of that value's truncation (empty outside their tables).
TEST(HostileNumericReplies, ASingleCaptureWritesTheValuesReadAndTheirLabels) {
    const char* const settingsQueries[] = {":TRIG:LEV?", ":CHAN1:PROB?", ":CHAN1:SCAL?", ":CHAN1:OFFS?",
                                           ":TIM:SCAL?", ":TIM:DEL?",    ":TIM:SWE?"};
    for (const HostileReply& r : hostileReplies()) {
        InScratchDir dir;
        ScopeBench s;
        for (const char* q : settingsQueries) s.model.cannedReplies[q] = r.bytes;
        StdoutCapture out;
        scopeReadAquire(0, scopeChannel1);
        const std::string console = out.take();
        const std::string number = fmt("%9.3E", double(r.value));
        const std::vector<std::string> head = {"Memory Length,4000,",
                                               "Trigger Level," + number + ",",
                                               "Source,CH1,",
                                               std::string("Probe,") + r.probe + ",",
                                               "Vertical Units,V,",
                                               "Vertical Scale," + number + ",",
                                               "Vertical Position," + number + ",",
                                               "Horizontal Units,s,",
                                               "Horizontal Scale," + number + ",",
                                               "Horizontal Position," + number + ",",
                                               std::string("Horizontal Mode,") + r.mode + ","};
        const auto file = lines(readFile("op_scope1.csv"));
        ASSERT_EQ(file.size(), 4017u) << r.bytes;
        EXPECT_EQ(std::vector<std::string>(file.begin(), file.begin() + 11), head) << r.bytes;
        EXPECT_EQ(file[16], fmt("%3d,", int(s.model.lastSamples[0][0]))) << r.bytes;
        EXPECT_EQ(file.back(), "===========================");
        // Seven query lines on the console, each with the value read.
        size_t shown = 0;
        for (size_t at = 0; (at = console.find(fmt(",%E,", double(r.value)), at)) != std::string::npos; ++at) ++shown;
        EXPECT_EQ(shown, 7u) << r.bytes;
    }
}

}  // namespace
}  // namespace bc
