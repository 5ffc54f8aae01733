#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/capture.h"

namespace bc {
namespace {

std::string run(const std::string& args) {
    std::string out;
    if (FILE* p = popen((std::string(BENCHCOM_RUN_PATH) + " " + args + " 2>&1").c_str(), "r")) {
        char buf[4096];
        for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        pclose(p);
    }
    return out;
}

TEST(ScopeRoutines, BenchcomRunKnowsEveryOscilloscopeRoutineAndItsArguments) {
    const std::string usage = run("--help");
    for (const char* name : {"ScopeSendCmd ", "scopeQueryValue ", "count_rd ", "scopeReadAquire ", "scopeReadDual ",
                             "scopeTestSequence ", "scopeSetup ", "scopePollWaveforms ", "scopePollDual "})
        EXPECT_NE(usage.find(std::string("  ") + name), std::string::npos) << name;
    EXPECT_NE(run("scopeReadAquire 12").find("'12' is not a channel"), std::string::npos);
    EXPECT_NE(run("scopeSetup 1").find("scopeSetup takes 0 arguments"), std::string::npos);
}

// benchcom-run on a pseudo-terminal: what the command puts on the line.
TEST(ScopeRoutines, BenchcomRunSendsACommandWithItsEscapedTerminator) {
    int master = -1, slave = -1;
    char name[128];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    close(slave);  // benchcom-run opens it by name
    setenv("BENCHCOM_PORT", name, 1);
    const std::string out = run("ScopeSendCmd '*RST\\r'");
    unsetenv("BENCHCOM_PORT");
    fcntl(master, F_SETFL, O_NONBLOCK);
    char line[64];
    const ssize_t n = read(master, line, sizeof line);
    close(master);
    EXPECT_NE(out.find(" ScopeSendCmd: *RST\r \n\r"), std::string::npos) << out;
    EXPECT_EQ(std::string(line, n > 0 ? size_t(n) : 0), "*RST\r");
}

}  // namespace
}  // namespace bc
