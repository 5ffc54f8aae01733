#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/capture.h"
#include "tests/support/process.h"

namespace bc {
namespace {

// benchcom-run's standard output and error together, as a terminal shows them.
std::string run(std::vector<std::string> args, std::vector<std::string> env = {}) {
    args.insert(args.begin(), BENCHCOM_RUN_PATH);
    const test::ProcessResult r = test::run(args, env);
    return r.out + r.err;
}

TEST(ScopeRoutines, BenchcomRunKnowsEveryOscilloscopeRoutineAndItsArguments) {
    const std::string usage = run({"--help"});
    for (const char* name : {"ScopeSendCmd ", "scopeQueryValue ", "count_rd ", "scopeReadAquire ", "scopeReadDual ",
                             "scopeTestSequence ", "scopeSetup ", "scopePollWaveforms ", "scopePollDual "})
        EXPECT_NE(usage.find(std::string("  ") + name), std::string::npos) << name;
    EXPECT_NE(run({"scopeReadAquire", "12"}).find("'12' is not a channel"), std::string::npos);
    EXPECT_NE(run({"scopeSetup", "1"}).find("scopeSetup takes 0 arguments"), std::string::npos);
}

// benchcom-run on a pseudo-terminal: what the command puts on the line.
TEST(ScopeRoutines, BenchcomRunSendsACommandWithItsEscapedTerminator) {
    int master = -1, slave = -1;
    char name[128];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    close(slave);  // benchcom-run opens it by name
    const std::string out = run({"ScopeSendCmd", "*RST\\r"}, {std::string("BENCHCOM_PORT=") + name});
    fcntl(master, F_SETFL, O_NONBLOCK);
    char line[64];
    const ssize_t n = read(master, line, sizeof line);
    close(master);
    EXPECT_NE(out.find(" ScopeSendCmd: *RST\r \n\r"), std::string::npos) << out;
    EXPECT_EQ(std::string(line, n > 0 ? size_t(n) : 0), "*RST\r");
}

}  // namespace
}  // namespace bc
