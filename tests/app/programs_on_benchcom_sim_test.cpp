// The real programs on the simulated bench, through the real termios layer:
// benchcom-sim serves the device models on a pseudo-terminal and runs the
// tool against it, as a person at a bench without hardware would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/capture.h"
#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"

namespace bc {
namespace {

namespace fs = std::filesystem;
using test::Child;
using test::lines;
using test::run;

const std::string kSim = BENCHCOM_SIM_PATH;
const std::string kRun = BENCHCOM_RUN_PATH;

using test::slurp;

// Polls a file until it holds `text` (the bench view is written as it changes).
bool waitForFile(const fs::path& p, const std::string& text, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        if (slurp(p).find(text) != std::string::npos) return true;
        usleep(50 * 1000);
    }
    return false;
}

TEST(BenchEndToEnd, DualCaptureWritesBothFiles) {
    test::ScratchDir s;
    const std::string cd = "cd " + s.dir.string() + " && exec ";
    auto r = run({"/bin/sh", "-c", cd + kSim + " -- " + kRun + " scopePollDual"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind(" serial port COM9 connect OK \n\rPolling waveform....\n", 0), 0u);
    auto csv = lines(slurp(s.dir / "op_scope.csv"));
    auto js = lines(slurp(s.dir / "gbookFtemp.js"));
    ASSERT_GE(csv.size(), 4020u);
    EXPECT_EQ(csv.back(), "===========================");
    EXPECT_EQ(csv[csv.size() - 4002], "Waveform Data,");
    ASSERT_EQ(js.size(), 4009u);
    EXPECT_EQ(js[9].rfind("gbF( 'vornel',", 0), 0u);
    EXPECT_NE(js[4008].find(",0,0,'3999');"), std::string::npos);
}

TEST(BenchEndToEnd, AdapterAnswersItsVersion) {
    test::ScratchDir s;
    const fs::path wire = s.dir / "wire.bin";
    auto r = run({kSim, "--wire", wire.string(), "--", kRun, "issVersion"});
    EXPECT_EQ(r.status, 0);
    // Module id 7, firmware 5, mode 0x40 (I2C at 100 kHz, as the adapter starts).
    EXPECT_EQ(r.out, " serial port COM9 connect OK \n\r iBytesWritten: 2 \nISS:5A-01:ver: 07 05 40 \n");
    EXPECT_EQ(slurp(wire), "\x5A\x01");
}

TEST(BenchEndToEnd, LedWordsShowOnTheDisplay) {
    test::ScratchDir s;
    const fs::path view = s.dir / "view.txt";
    // The chip keeps its registers between programs: set it up, then light
    // segments B and C (a "1") on the rightmost digit with one raw word.
    const std::string both = kRun + " initMax7219 && " + kRun + " sendMax7219Word 0x0130";
    auto r = run({kSim, "--view", view.string(), "--", "/bin/sh", "-c", both});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("MAX2719: 0130  \n"), std::string::npos);
    const std::string shown = slurp(view);
    EXPECT_NE(shown.find("LED display  [       1]"), std::string::npos) << shown;
    // Seven-segment art, four columns a digit: B and C are the right-hand bars.
    const std::string rightBar = std::string(30, ' ') + "| \n";
    EXPECT_NE(shown.find(rightBar + rightBar), std::string::npos);
}

TEST(BenchEndToEnd, PanelKeyPressShowsTheGreetingScreen) {
    test::ScratchDir s;
    const fs::path view = s.dir / "view.txt";
    Child child({kSim, "--view", view.string(), "--press", "1@300ms+1500ms", "--", kRun, "panelKeyDemo"});
    ASSERT_TRUE(waitForFile(view, "|       Tesmo        |", 10000)) << slurp(view);
    child.signal(SIGINT);
    auto& r = child.finish();
    EXPECT_EQ(r.status, 130);  // Ctrl-C ends the endless demonstration cleanly
    EXPECT_NE(r.out.find("keys: 01 00 01\n"), std::string::npos);
    const std::string shown = slurp(view);
    EXPECT_NE(shown.find("| press 1 or 3       |"), std::string::npos);
    EXPECT_NE(shown.find("|      hello         |\n|       zirk         |\n|+ - + - + - + - + - |"), std::string::npos);
}

TEST(BenchEndToEnd, MainSequenceStartsItsExerciser) {
    Child child({kSim, "--", BENCHCOM_PATH}, {}, true);
    ASSERT_TRUE(child.waitForOutput("GetCommModemStatu_: 0000 0010 0020 0040 0080 \n====", 5000)) << child.result.out;
    child.signal(SIGINT);
    auto& r = child.finish();
    EXPECT_EQ(r.status, 130);
    EXPECT_NE(r.out.find("+\n serial port COM9 connect OK \n\r serial port COM9 connect OK \n\r===="),
              std::string::npos);
}

TEST(BenchEndToEnd, AloneItPrintsItsPortAndServesUntilInterrupted) {
    Child child({kSim});
    ASSERT_TRUE(child.waitForOutput("\n", 3000));
    const std::string port = child.result.out.substr(0, child.result.out.size() - 1);
    EXPECT_EQ(port.rfind("/dev/pts/", 0), 0u);
    auto r = run({kRun, "issVersion"}, {"BENCHCOM_PORT=" + port});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("ISS:5A-01:ver: 07 05 40"), std::string::npos);
    child.signal(SIGINT);
    EXPECT_EQ(child.finish().status, 0);
}

// A command line it cannot take gets one line on standard error, with what
// would be taken and where the options are, not the whole usage.
TEST(BenchEndToEnd, BadOptionsAreRefusedInOneLineSayingWhatItTakes) {
    const std::string pointer = " (benchcom-sim --help lists the options)\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{kSim, "--ch1", "saw"}, "--ch1: unknown shape 'saw': the shapes are sine, square, triangle and dc"},
        {{kSim, "--ch2", "square,1000,1.5,100"}, "--ch2: the duty cycle '100' is not a percentage between 0 and 100"},
        {{kSim, "--ch1", "sine,0"}, "--ch1: the frequency '0' is not a number of hertz above 0"},
        {{kSim, "--ch1", "sine,1000,2,30"}, "--ch1: a duty cycle ('30') is for a square wave only"},
        {{kSim, "--press", "9@1s"},
         "bad key press '9@1s': KEY@TIME[+HOLD] with a key from 1 to 8, e.g. 1@2s or 3@1500ms+2s"},
        {{kSim, "--fault", "nope"},
         "unknown fault 'nope': the faults are scope-silent, scope-slow, short-block, long-learn, scope-garbage, "
         "adapter-silent, adapter-short"},
        {{kSim, "--view"}, "--view needs a value"},
        {{kSim, "--colour", "red"}, "unknown option --colour"},
        {{kSim, "--colour"}, "unknown option --colour"},
        {{kSim, "--listen", "http://x:1"}, "--listen takes rfc2217://HOST:PORT or socket://HOST:PORT, not http://x:1"},
        {{kSim, "--"}, "-- must be followed by a command"},
    };
    for (const auto& [args, error] : cases) {
        auto r = run(args);
        EXPECT_EQ(r.status, 2) << args[1];
        EXPECT_EQ(r.err, "benchcom-sim: " + error + pointer);
        EXPECT_EQ(r.out, "");
    }
    auto help = run({kSim, "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--press KEYS"), std::string::npos);
}

}  // namespace
}  // namespace bc
