// benchcom-run's shell as a person uses it, in a terminal: a pseudo-terminal
// is its controlling terminal, the keys go through its line discipline and
// GNU readline, on the simulated bench inside the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "scope/scope_interface.h"
#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/terminal_session.h"

namespace bc {
namespace {

using test::TerminalSession;

const std::string kRun = BENCHCOM_RUN_PATH;
const std::string kPrompt = "benchcom> ";
constexpr size_t npos = std::string::npos;
constexpr int kWait = 10000;  // for what the bench answers within a second or so

// The shell in `home` (its history goes there), on the bench inside the
// program or the one `port` names; a plain terminal, and no inputrc of the
// machine's.
std::vector<std::string> shellEnv(const test::ScratchDir& home, const std::string& port = "sim") {
    return {"HOME=" + home.dir.string(), "BENCHCOM_PORT=" + port, "TERM=dumb", "INPUTRC=/dev/null"};
}

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Without a routine and with a terminal at its input, benchcom-run is the
// shell. A procedure typed there runs on one open port, on one bench: the
// scale set by one command is the scale the next one reads.
TEST(ShellOnTerminal, AProcedureRunsOnOneOpenPortAndOneBench) {
    test::ScratchDir home;
    TerminalSession shell({kRun}, shellEnv(home), home.dir.string());
    ASSERT_TRUE(shell.started());
    size_t at = shell.waitFor(kPrompt, kWait);
    ASSERT_NE(at, npos) << shell.output();
    shell.type("issSetIoMode 0\r");
    // The adapter acknowledges a mode change with FF 00.
    at = shell.waitFor("ISS:5A-02-00:IO-mode: FF 00 \r\n" + kPrompt, kWait, at);
    ASSERT_NE(at, npos) << shell.output();
    shell.type("send 5A 01 read 3\r");
    // The adapter's module id (7), firmware version and mode: I/O mode (00)
    // now, as the command before set it on this same adapter.
    at = shell.waitFor("> 5A 01\r\n< 07 05 00\r\n" + kPrompt, kWait, at);
    ASSERT_NE(at, npos) << shell.output();
    shell.type("scpi \":CHAN1:SCAL 5\"\r");
    at = shell.waitFor(kPrompt, kWait, at);
    shell.type("scpi :CHAN1:SCAL?\r");
    // The instrument's number: a space where a sign would go, then a line feed.
    at = shell.waitFor("> :CHAN1:SCAL?\\r\r\n<  5.000e+00\\n\r\n" + kPrompt, kWait, at);
    ASSERT_NE(at, npos) << shell.output();
    shell.type("quit\r");
    EXPECT_EQ(shell.finish(kWait), 0);
    EXPECT_EQ(count(shell.output(), "connect OK"), 1u) << shell.output();
}

// Tab completes a routine's name, and after the name shows what it takes.
TEST(ShellOnTerminal, TabCompletesNamesAndShowsArguments) {
    test::ScratchDir home;
    TerminalSession shell({kRun, "--shell"}, shellEnv(home));
    size_t at = shell.waitFor(kPrompt, kWait);
    ASSERT_NE(at, npos) << shell.output();
    shell.type("issVer\t");
    at = shell.waitFor("issVersion ", kWait, at);
    ASSERT_NE(at, npos) << shell.output();
    shell.type("\r");
    at = shell.waitFor("ISS:5A-01:ver: 07 05 40 \r\n" + kPrompt, kWait, at);
    ASSERT_NE(at, npos) << shell.output();
    shell.type("sendMAX2719xyz \t");
    at = shell.waitFor("sendMAX2719xyz x y z\r\n", kWait, at);
    ASSERT_NE(at, npos) << shell.output();
    shell.type("\x15sendMax7219Sequence 1 seqBl\t");  // Ctrl-U clears the line first
    at = shell.waitFor("seqBlank ", kWait, at);
    ASSERT_NE(at, npos) << shell.output();
    shell.type("\x15quit\r");
    EXPECT_EQ(shell.finish(kWait), 0);
}

// The lines typed are kept in ~/.benchcom_run_history, and the next
// session starts with them: Ctrl-P brings the last one back.
TEST(ShellOnTerminal, HistoryIsKeptInTheHomeDirectory) {
    test::ScratchDir home;
    {
        TerminalSession first({kRun, "--shell"}, shellEnv(home));
        ASSERT_NE(first.waitFor(kPrompt, kWait), npos) << first.output();
        first.type("issSerialNumber\r");
        const size_t ran = first.waitFor("ISS:5A-03:ser: ", kWait);
        ASSERT_NE(ran, npos) << first.output();
        ASSERT_NE(first.waitFor(kPrompt, kWait, ran), npos) << first.output();
        first.type("\x04");  // Ctrl-D at the prompt leaves
        EXPECT_EQ(first.finish(kWait), 0);
    }
    EXPECT_NE(test::slurp(home.dir / ".benchcom_run_history").find("issSerialNumber"), npos);
    TerminalSession second({kRun, "--shell"}, shellEnv(home));
    size_t at = second.waitFor(kPrompt, kWait);
    ASSERT_NE(at, npos) << second.output();
    second.type("\x10\r");
    EXPECT_NE(second.waitFor("ISS:5A-03:ser: ", kWait, at), npos) << second.output();
    second.type("quit\r");
    EXPECT_EQ(second.finish(kWait), 0);
}

// Ctrl-C ends the routine under way as it would end the program (a capture
// so cut short leaves the earlier file as it was, and none of its own) and
// the prompt comes back, with the port fit for the next routine; Ctrl-C at
// the prompt leaves.
TEST(ShellOnTerminal, CtrlCEndsTheRoutineAndAtThePromptLeaves) {
    test::ScratchDir home;
    TerminalSession shell({kRun}, shellEnv(home), home.dir.string());
    size_t at = shell.waitFor(kPrompt, kWait);
    ASSERT_NE(at, npos) << shell.output();
    shell.type("panelKeyDemo\r");
    at = shell.waitFor("keys: ", kWait, at);  // polling the panel's keys, for ever
    ASSERT_NE(at, npos) << shell.output();
    shell.type("\x03");
    at = shell.waitFor("benchcom-run: panelKeyDemo ended by Ctrl-C\r\n" + kPrompt, kWait, at);
    ASSERT_NE(at, npos) << shell.output();
    shell.type("issVersion\r");
    at = shell.waitFor("ISS:5A-01:ver: 07 05 40 \r\n" + kPrompt, kWait, at);
    ASSERT_NE(at, npos) << shell.output();

    // The capture opens its file after the block, then asks for each
    // setting before its line: interrupted at the probe's query, it is not
    // put in place, and the earlier capture is there as it was while the
    // shell goes on.
    const std::string earlier = "an earlier capture, whole\n";
    std::ofstream(home.dir / "op_scope1.csv") << earlier;
    shell.type("scopeReadAquire 1\r");
    const std::string probe = scopeQryProbe1;  // its line end comes back as "\r\n"
    at = shell.waitFor("ScopeSendCmd: " + probe.substr(0, probe.size() - 1), kWait, at);
    ASSERT_NE(at, npos) << shell.output();
    shell.type("\x03");
    at = shell.waitFor("benchcom-run: scopeReadAquire ended by Ctrl-C\r\n" + kPrompt, kWait, at);
    ASSERT_NE(at, npos) << shell.output();
    EXPECT_EQ(test::slurp(home.dir / "op_scope1.csv"), earlier);
    for (const auto& e : std::filesystem::directory_iterator(home.dir))
        EXPECT_NE(e.path().filename().string().rfind(".op_scope1.csv.", 0), 0u) << e.path();

    shell.type("\x03");
    EXPECT_EQ(shell.finish(kWait), 130);
}

// An exchange without a whole reply: its line follows the routine, and the
// shell leaves with status 4.
TEST(ShellOnTerminal, ANoReplyLineFollowsTheRoutine) {
    test::Child sim({BENCHCOM_SIM_PATH, "--fault", "adapter-silent"});
    ASSERT_TRUE(sim.waitForOutput("\n", kWait));
    const std::string port = sim.result.out.substr(0, sim.result.out.find('\n'));
    test::ScratchDir home;
    TerminalSession shell({kRun}, shellEnv(home, port));
    size_t at = shell.waitFor(kPrompt, kWait);
    ASSERT_NE(at, npos) << shell.output();
    shell.type("issVersion\r");
    // The request is still in the buffer, and is printed as the reply.
    at = shell.waitFor(
        "ISS:5A-01:ver: 5A 01 00 \r\nbenchcom-run: 1 exchange without a whole reply, the first in "
        "issVersion: adapter frame 5A 01 got 0 of 3 reply bytes\r\n" +
            kPrompt,
        kWait, at);
    ASSERT_NE(at, npos) << shell.output();
    shell.type("\x04");
    EXPECT_EQ(shell.finish(kWait), 4);
    sim.signal(SIGINT);
}

// "Opening Port Failed" keeps its missing line end on standard output; on a
// terminal that standard error shares, a line end follows on standard error,
// so that the shell's prompt after it starts a line of its own.
TEST(ShellOnTerminal, AFailedOpenLeavesTheTerminalOnAFreshLine) {
    test::ScratchDir home;
    TerminalSession run({kRun, "issVersion"}, shellEnv(home, "/dev/no-such-benchcom-port"));
    EXPECT_EQ(run.finish(kWait), 1);
    const std::string& out = run.output();
    const std::string end = "Opening Port Failed\r\n";
    ASSERT_GE(out.size(), end.size()) << out;
    EXPECT_EQ(out.substr(out.size() - end.size()), end);
}

}  // namespace
}  // namespace bc
