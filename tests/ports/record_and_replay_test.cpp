// Record at the bench, replay anywhere: every routine, the main sequence and
// the endless demonstrations (cut after a few seconds with Ctrl-C) recorded
// with BENCHCOM_TRACE on the bench inside the program, on benchcom-sim's
// terminal and through ser2net, then replayed from the trace alone, in real
// time and on the virtual clock. The replay must print the console lines and
// write the capture files the recording did, byte for byte, and end with the
// same status. Long sessions are cut short, and replayed in real time only
// where that costs a second or two.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/ser2net.h"

namespace bc {
namespace {

using test::Child;
using test::ScratchDir;
using test::slurp;

const std::string kRun = BENCHCOM_RUN_PATH;
const std::string kMain = BENCHCOM_PATH;
const std::string kSim = BENCHCOM_SIM_PATH;
const char* const kCaptureFiles[] = {"op_scope1.csv", "op_scope2.csv", "op_scope.csv", "gbookFtemp.js"};

struct Session {
    int status = -1;
    std::string out, err;
    std::map<std::string, std::string> files;
    std::string trace;
};

// `command` run in `dir` with `env`; with `cutMs`, interrupted with Ctrl-C
// (SIGINT) once that long has passed.
Session runIn(const ScratchDir& dir, const std::vector<std::string>& command, const std::vector<std::string>& env,
              int cutMs) {
    std::string line = "cd " + dir.dir.string() + " && exec";
    for (const std::string& word : command) line += " '" + word + "'";
    Child child({"/bin/sh", "-c", line}, env);
    if (cutMs > 0) {
        const int64_t start = monotonicUs();
        while (monotonicUs() - start < int64_t(cutMs) * 1000) child.pump(20);
        child.signal(SIGINT);
    }
    const test::ProcessResult& r = child.finish(50000);
    Session s;
    s.status = r.status;
    s.out = r.out;
    s.err = r.err;
    for (const char* name : kCaptureFiles)
        if (std::filesystem::exists(dir.dir / name)) s.files[name] = slurp(dir.dir / name);
    s.trace = slurp(dir.dir / "trace.txt");
    return s;
}

// Replays `recorded` (its trace alone, in a fresh directory) and checks it
// comes out the same.
void expectReplayedAlike(const Session& recorded, const std::vector<std::string>& command, bool fast,
                         const std::string& what) {
    ScratchDir dir;
    { std::ofstream(dir.dir / "trace.txt", std::ios::binary) << recorded.trace; }
    const std::string mode = fast ? "replay-fast" : "replay";
    const Session replayed = runIn(dir, command, {"BENCHCOM_PORT=" + mode + ":trace.txt"}, 0);
    const std::string label = what + " (" + mode + ")";
    EXPECT_EQ(replayed.status, recorded.status) << label << "\n" << replayed.err;
    EXPECT_EQ(replayed.err, "") << label;
    EXPECT_TRUE(replayed.out == recorded.out) << label << ": the console differs";
    EXPECT_EQ(replayed.files.size(), recorded.files.size()) << label;
    for (const auto& [name, text] : recorded.files)
        EXPECT_TRUE(replayed.files.count(name) && replayed.files.at(name) == text) << label << ": " << name;
}

struct Routine {
    std::vector<std::string> command;  // benchcom-run's arguments, or the main sequence
    int cutMs = 0;                     // interrupted after this long; 0: runs to its end
    bool realTime = true;              // replayed in real time as well as on the virtual clock
};

std::vector<std::string> commandOf(const Routine& r) {
    if (r.command.empty()) return {kMain};
    std::vector<std::string> c{kRun};
    c.insert(c.end(), r.command.begin(), r.command.end());
    return c;
}

std::string nameOf(const Routine& r) { return r.command.empty() ? "the main sequence" : r.command[0]; }

// Each routine recorded on the bench inside the program, then replayed.
void recordOnSimAndReplay(const std::vector<Routine>& routines) {
    for (const Routine& r : routines) {
        ScratchDir dir;
        const Session recorded = runIn(dir, commandOf(r), {"BENCHCOM_PORT=sim", "BENCHCOM_TRACE=trace.txt"}, r.cutMs);
        ASSERT_EQ(recorded.status, r.cutMs ? 130 : 0) << nameOf(r) << recorded.err;
        const bool interrupted =
            recorded.trace.find("interrupted: the program ends with status 130\n") != std::string::npos;
        EXPECT_EQ(interrupted, r.cutMs > 0) << nameOf(r);
        expectReplayedAlike(recorded, commandOf(r), true, nameOf(r));
        if (r.realTime) expectReplayedAlike(recorded, commandOf(r), false, nameOf(r));
    }
}

TEST(RecordAndReplay, TheOscilloscopeRoutines) {
    recordOnSimAndReplay({
        {{"ScopeSendCmd", "*IDN?\\r"}},
        {{"scopeQueryValue", ":TIM:SCAL?\\r"}},
        {{"count_rd", "700"}},
        {{"scopeReadDual", "2"}},
        {{"scopePollDual"}},
        {{"scopeSetup"}, 0, false},
        {{"scopeReadAquire", "1"}, 0, false},
        {{"scopePollWaveforms"}, 3000, false},
        {{"scopeTestSequence"}, 2000},
    });
}

TEST(RecordAndReplay, TheAdapterAndItsDevices) {
    recordOnSimAndReplay({
        {{"lrnGetFloat", ":TIM", "SCAL"}},
        {{"leBytesToInt", "0x34", "0x12"}},
        {{"issVersion"}},
        {{"issSerialNumber"}},
        {{"issSetIoMode", "0"}},
        {{"issChangeIoMode", "0x10"}},
        {{"issCmd5A10", "12"}},
        {{"issRead5A12"}},
        {{"issSetPins", "5"}},
        {{"srf08Range"}},
        {{"panelWriteText", "12", " press 1 or 3"}},
        {{"setModeIICpollDisp", "0"}},
        {{"ppSendPattern"}},
        {{"ppSendPoint", "10", "20", "1", "2", "3"}},
    });
}

TEST(RecordAndReplay, TheLedDisplay) {
    recordOnSimAndReplay({
        {{"sendMax7219Word", "0x0C01"}},
        {{"walkMax7219Pins"}},
        {{"initMax7219"}},
        {{"sendMAX2719xyz", "3", "4", "0"}},
        {{"showMax7219Help"}, 0, false},
        {{"clearMax7219"}, 2000, false},
        {{"sendMax7219Sequence", "7", "seqBars"}, 2000, false},
    });
}

TEST(RecordAndReplay, TheEndlessDemonstrationsCutShort) {
    recordOnSimAndReplay({
        {{"panelKeyDemo"}, 2000},
        {{"ppCircleDemo"}, 2000},
        {{"demoMax7219Xyz"}, 2000},
        {{"demoMax7219Patterns"}, 2000, false},
    });
}

TEST(RecordAndReplay, TheMainSequenceCutShort) { recordOnSimAndReplay({{{}, 2500}}); }

// benchcom-sim's terminal: a real local port, whose modem-control calls
// fail (a pseudo-terminal has no lines) and whose failures replay too.
TEST(RecordAndReplay, OnBenchcomSimsTerminal) {
    const Routine routines[] = {
        {{"issSerialNumber"}},           {{"scopePollDual"}}, {{"initMax7219"}, 0, false},
        {{"panelKeyDemo"}, 3000, false}, {{}, 2000, false},
    };
    for (const Routine& r : routines) {
        ScratchDir dir;
        std::vector<std::string> command{kSim, "--view", "/dev/null", "--press", "1@1s", "--"};
        for (const std::string& word : commandOf(r)) command.push_back(word);
        const Session recorded = runIn(dir, command, {"BENCHCOM_TRACE=trace.txt"}, r.cutMs);
        ASSERT_EQ(recorded.status, r.cutMs ? 130 : 0) << nameOf(r) << recorded.err;
        ASSERT_NE(recorded.trace.find("open /dev/pts/"), std::string::npos) << recorded.trace.substr(0, 300);
        expectReplayedAlike(recorded, commandOf(r), true, nameOf(r) + " on the terminal");
        if (r.realTime) expectReplayedAlike(recorded, commandOf(r), false, nameOf(r) + " on the terminal");
    }
}

// Through Debian's ser2net, as RFC 2217 and as raw TCP: the escapes that
// ser2net never acknowledges on a pseudo-terminal time out at the bench and
// must again, with the same results.
TEST(RecordAndReplay, ThroughSer2net) {
    Child sim({kSim, "--view", "/dev/null"});
    ASSERT_TRUE(sim.waitForOutput("\n", 5000));
    const std::string terminal = sim.result.out.substr(0, sim.result.out.find('\n'));
    test::Ser2net server;
    ASSERT_TRUE(server.start(terminal, "19200n81"));
    const struct {
        Routine routine;
        bool rfc2217;
    } runs[] = {
        {{{"issVersion"}}, true},
        {{{"scopePollDual"}}, true},
        {{{}, 2500, false}, true},
        {{{"issSerialNumber"}}, false},
        {{{"ppCircleDemo"}, 2000, false}, false},
    };
    for (const auto& run : runs) {
        ASSERT_TRUE(server.awaitRelease(terminal));
        ScratchDir dir;
        const std::string url = run.rfc2217 ? server.rfc2217Url() : server.socketUrl();
        const Session recorded =
            runIn(dir, commandOf(run.routine), {"BENCHCOM_PORT=" + url, "BENCHCOM_TRACE=trace.txt"}, run.routine.cutMs);
        const std::string what = nameOf(run.routine) + " at " + url;
        ASSERT_EQ(recorded.status, run.routine.cutMs ? 130 : 0) << what << recorded.err;
        ASSERT_NE(recorded.trace.find("open " + url), std::string::npos) << recorded.trace.substr(0, 300);
        expectReplayedAlike(recorded, commandOf(run.routine), true, what);
        if (run.routine.realTime) expectReplayedAlike(recorded, commandOf(run.routine), false, what);
    }
    server.kill();
    sim.signal(SIGINT);
    sim.finish();
}

}  // namespace
}  // namespace bc
