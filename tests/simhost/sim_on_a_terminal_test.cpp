// benchcom-sim started from a terminal, as a person starts it: the terminal
// as its standard input, output and error, the foreground job of the
// terminal's session. While it runs it reads key presses, so only canonical
// input and echo may be off: its command's lines keep their line ends and
// Ctrl-C still ends it. However it ends (its command ending, an error, a
// signal, Ctrl-C, a stop) the terminal gets back the mode it had.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/capture.h"
#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/terminal_job.h"

namespace bc {
namespace {

namespace fs = std::filesystem;
using test::TerminalJob;

const std::string kSim = BENCHCOM_SIM_PATH;
const std::string kRun = BENCHCOM_RUN_PATH;
const winsize kScreen = {24, 80, 0, 0};

// A terminal as a person may have set it up: the system's default mode for
// a new terminal, with ^H to erase and without XON/XOFF flow control, so
// that putting "a sane mode" back would not pass for putting this one back.
termios personsMode() {
    termios t{};
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) == 0) {
        tcgetattr(slave, &t);
        close(slave);
        close(master);
    }
    t.c_cc[VERASE] = 0x08;
    t.c_iflag &= ~tcflag_t(IXON);
    return t;
}

void expectSameMode(const termios& now, const termios& before, const char* when) {
    EXPECT_EQ(now.c_iflag, before.c_iflag) << when;
    EXPECT_EQ(now.c_oflag, before.c_oflag) << when;
    EXPECT_EQ(now.c_cflag, before.c_cflag) << when;
    EXPECT_EQ(now.c_lflag, before.c_lflag) << when;
    for (int i = 0; i < NCCS; ++i) EXPECT_EQ(now.c_cc[i], before.c_cc[i]) << when << ", c_cc[" << i << "]";
}

bool readingKeys(const TerminalJob& job) { return !(job.mode().c_lflag & ICANON); }

// The mode while keys are read: a key arrives at once (no line editing: no
// ICANON, a read returns with what there is) and shows nothing (no ECHO);
// the keyboard's signals, output processing and the rest as they were.
void expectKeyMode(const termios& now, const termios& before) {
    EXPECT_EQ(now.c_lflag, before.c_lflag & ~tcflag_t(ICANON | ECHO));
    EXPECT_TRUE(now.c_lflag & ISIG);
    EXPECT_EQ(now.c_oflag, before.c_oflag);
    EXPECT_TRUE((now.c_oflag & OPOST) && (now.c_oflag & ONLCR));
    EXPECT_EQ(now.c_iflag, before.c_iflag);
    EXPECT_EQ(now.c_cflag, before.c_cflag);
    EXPECT_EQ(now.c_cc[VMIN], 0);
    EXPECT_EQ(now.c_cc[VTIME], 0);
    EXPECT_EQ(now.c_cc[VINTR], before.c_cc[VINTR]);
    EXPECT_EQ(now.c_cc[VSUSP], before.c_cc[VSUSP]);
}

TEST(SimOnATerminal, KeepsLineEndsWhileItRunsAndPutsTheModeBackWhenItsCommandEnds) {
    test::ScratchDir s;
    const std::string go = (s.dir / "go").string();
    const termios before = personsMode();
    TerminalJob job(
        {kSim, "--", "/bin/sh", "-c", "printf 'one\\ntwo\\n'; while [ ! -e " + go + " ]; do sleep 0.05; done"}, before,
        kScreen);
    ASSERT_TRUE(job.started());
    // Output processing still turns each line end into CR LF.
    ASSERT_TRUE(job.waitForScreen("one\r\ntwo\r\n", 10000)) << job.screen();
    ASSERT_TRUE(job.waitUntil([&] { return readingKeys(job); }, 5000));
    expectKeyMode(job.mode(), before);
    // The view stands in the bottom 11 of the 24 lines, the rest scrolls.
    ASSERT_TRUE(job.waitForScreen("\033[15;1HLED display  [", 5000)) << job.screen();
    EXPECT_NE(job.screen().find("\033[1;13r"), std::string::npos);
    EXPECT_NE(job.screen().find("\033[14;1H-----"), std::string::npos);

    const size_t shown = job.screen().size();
    std::ofstream(go).put('\n');
    int status = -1;
    ASSERT_EQ(job.waitForJob(10000, status), 'E');
    EXPECT_EQ(status, 0);
    expectSameMode(job.mode(), before, "after its command ended");
    // The whole screen scrolls again, the cursor on a new last line.
    EXPECT_TRUE(job.waitForScreen("\033[r\033[24;1H\r\n", 5000, shown)) << job.screen().substr(shown);
}

TEST(SimOnATerminal, ASignalThatEndsItPassesToItsCommandAndLeavesTheModeAsItWas) {
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
        const termios before = personsMode();
        TerminalJob job({kSim, "--", "/bin/sleep", "600"}, before, kScreen);
        ASSERT_TRUE(job.started());
        ASSERT_TRUE(job.waitUntil([&] { return readingKeys(job); }, 10000)) << sig;
        kill(job.pid(), sig);
        int status = -1;
        ASSERT_EQ(job.waitForJob(10000, status), 'E') << sig;
        EXPECT_EQ(status, 128 + sig);  // sleep's, ended by the same signal
        expectSameMode(job.mode(), before, strsignal(sig));
    }
}

TEST(SimOnATerminal, ErrorsAreOneLineAndLeaveTheModeAsItWas) {
    const termios before = personsMode();
    {
        TerminalJob job({kSim, "--ch1", "sawtooth"}, before, kScreen);
        ASSERT_TRUE(job.started());
        int status = -1;
        ASSERT_EQ(job.waitForJob(10000, status), 'E');
        EXPECT_EQ(status, 2);
        ASSERT_TRUE(job.waitForHangUp(5000));
        EXPECT_EQ(job.screen(),
                  "benchcom-sim: --ch1: unknown shape 'sawtooth': the shapes are sine, square, triangle and dc "
                  "(benchcom-sim --help lists the options)\r\n");
        expectSameMode(job.mode(), before, "after a bad option");
    }
    // A command that cannot be run is found out once the view has taken its
    // lines of the screen.
    TerminalJob job({kSim, "--", "/nonexistent/benchcom-command"}, before, kScreen);
    ASSERT_TRUE(job.started());
    int status = -1;
    ASSERT_EQ(job.waitForJob(10000, status), 'E');
    EXPECT_EQ(status, 127);
    ASSERT_TRUE(job.waitForHangUp(5000));
    EXPECT_NE(job.screen().find("benchcom-sim: cannot run /nonexistent/benchcom-command\r\n"), std::string::npos);
    EXPECT_NE(job.screen().find("\033[r"), std::string::npos);
    expectSameMode(job.mode(), before, "after a command that could not run");
}

// Ctrl-C typed at the terminal reaches benchcom-sim and the demonstration
// under it (the terminal's foreground job); both end, and let go of the
// terminal, the bench's port and their files.
TEST(SimOnATerminal, CtrlCTypedAtTheTerminalEndsTheDemonstrationUnderIt) {
    test::ScratchDir s;
    const fs::path link = s.dir / "bench-port", wire = s.dir / "wire.bin";
    const termios before = personsMode();
    TerminalJob job({kSim, "--link", link.string(), "--wire", wire.string(), "--", kRun, "panelKeyDemo"}, before,
                    kScreen);
    ASSERT_TRUE(job.started());
    ASSERT_TRUE(job.waitForScreen("keys: 00 00 00\r\n", 15000)) << job.screen();
    EXPECT_TRUE(fs::is_symlink(link));
    // Key 3 typed without Enter presses the panel's key 3: a screen of stars.
    job.type("3");
    ASSERT_TRUE(job.waitForScreen("|* * * * * * * * * * |", 10000)) << job.screen();
    job.type("\x03");
    int status = -1;
    ASSERT_EQ(job.waitForJob(10000, status), 'E');
    EXPECT_EQ(status, 130);
    expectSameMode(job.mode(), before, "after Ctrl-C");
    // Nothing holds the terminal any more: benchcom-run has ended too.
    EXPECT_TRUE(job.waitForHangUp(5000));
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    // The wire record was written out whole: it holds the demonstration's
    // polls of the panel's status (an I2C read without a register byte, 54,
    // of four bytes from the panel's read address C7).
    EXPECT_NE(test::slurp(wire).find("\x54\xC7\x04"), std::string::npos);
}

// Ctrl-Z: the terminal is given back before benchcom-sim stops, and taken
// again when the job is continued in the foreground.
TEST(SimOnATerminal, CtrlZGivesTheTerminalBackAndTheForegroundTakesItAgain) {
    const termios before = personsMode();
    TerminalJob job({kSim, "--", "/bin/sleep", "600"}, before, kScreen);
    ASSERT_TRUE(job.started());
    ASSERT_TRUE(job.waitUntil([&] { return readingKeys(job); }, 10000));
    job.type("\x1a");
    int signal = -1;
    ASSERT_EQ(job.waitForJob(10000, signal), 'S');
    EXPECT_EQ(signal, SIGTSTP);
    expectSameMode(job.mode(), before, "while stopped");
    job.continueJob();
    ASSERT_TRUE(job.waitUntil([&] { return readingKeys(job); }, 10000));
    expectKeyMode(job.mode(), before);
    job.type("\x03");
    int status = -1;
    ASSERT_EQ(job.waitForJob(10000, status), 'E');
    EXPECT_EQ(status, 130);
    expectSameMode(job.mode(), before, "after Ctrl-C");
}

// A tmux server of the test's own (its socket in a scratch directory), with
// one window of 80 by 24 running a shell command: the screen as a person
// would see it in a terminal window.
class TmuxWindow {
public:
    explicit TmuxWindow(const std::string& command) : socket_((dir_.dir / "tmux").string()) {
        started_ = tmux({"new-session", "-d", "-x", "80", "-y", "24", command}).status == 0;
    }
    ~TmuxWindow() { tmux({"kill-server"}); }
    bool started() const { return started_; }
    // The window's lines, its history first.
    std::vector<std::string> lines() { return test::lines(tmux({"capture-pane", "-p", "-S", "-"}).out); }
    bool waitForLine(const std::string& text, int timeoutMs) {
        for (int waited = 0; waited < timeoutMs; waited += 100) {
            for (const std::string& line : lines())
                if (line == text) return true;
            usleep(100 * 1000);
        }
        return false;
    }

private:
    test::ProcessResult tmux(std::vector<std::string> args) {
        args.insert(args.begin(), {"/usr/bin/tmux", "-S", socket_, "-f", "/dev/null"});
        return test::run(args, {"TMUX="});
    }
    test::ScratchDir dir_;  // where the server's socket is, removed with it
    std::string socket_;
    bool started_ = false;
};

size_t lineWith(const std::vector<std::string>& lines, const std::string& text) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find(text) != std::string::npos) return i;
    return lines.size();
}

// The display changes with every register the set-up writes; on a terminal
// the picture at the bottom of the screen is redrawn each time, so there is
// one picture, below the command's output, and the shell's next line comes
// under it.
TEST(SimOnATerminal, TheViewIsRedrawnInPlaceUnderTheCommandsOutput) {
    const std::string both = kRun + " initMax7219 > /dev/null && " + kRun + " sendMax7219Word 0x0130";
    TmuxWindow window(kSim + " -- /bin/sh -c '" + both + "'; echo ended-$?; sleep 600");
    ASSERT_TRUE(window.started());
    ASSERT_TRUE(window.waitForLine("ended-0", 30000));
    const std::vector<std::string> lines = window.lines();
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    size_t pictures = 0;
    for (size_t at = 0; (at = all.find("LED display  [", at)) != std::string::npos; ++at) ++pictures;
    EXPECT_EQ(pictures, 1u) << all;
    const size_t output = lineWith(lines, "MAX2719: 0130"), picture = lineWith(lines, "LED display  [       1]"),
                 ended = lineWith(lines, "ended-0");
    EXPECT_LT(output, picture) << all;
    EXPECT_LT(picture, ended) << all;
    // Its rule above it, and the digit's two right-hand bars in the art.
    ASSERT_GT(picture, 0u);
    EXPECT_EQ(lines[picture - 1], std::string(71, '-'));
    EXPECT_EQ(lines[picture + 2].substr(28, 4), "  | ") << all;
}

}  // namespace
}  // namespace bc
