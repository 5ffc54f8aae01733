// benchcom-run's bash completion, as bash itself runs it: the script the
// build writes from the routine table, sourced into a real bash.
#include <gtest/gtest.h>

#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/terminal_session.h"

namespace bc {
namespace {

const std::string kCompletion = BENCHCOM_COMPLETION_PATH;

// What bash's completion function offers for the words of a command line,
// the last one being completed, one candidate a line.
std::string offered(const std::string& words) {
    const std::string script = "source '" + kCompletion + "'; COMP_WORDS=(" + words +
                               "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _benchcom_run; "
                               "printf '%s\\n' \"${COMPREPLY[@]}\"";
    return test::run({"/bin/bash", "--norc", "-c", script}).out;
}

TEST(BashCompletion, OffersNamesOptionsAndNamedArguments) {
    EXPECT_EQ(offered("benchcom-run issVer"), "issVersion\n");
    EXPECT_EQ(offered("benchcom-run --sc"), "--script\n");
    EXPECT_EQ(offered("benchcom-run sen"), "sendMax7219Word\nsendMax7219Sequence\nsendMAX2719xyz\nsend\n");
    // After the options and their values, the routine's own arguments.
    EXPECT_EQ(offered("benchcom-run -C /tmp --for 5 sendMax7219Sequence 1 seqB"), "seqBlank\nseqBars\n");
    EXPECT_EQ(offered("benchcom-run scopeReadDual ''"), "1\n2\n");
    EXPECT_EQ(offered("benchcom-run help scopeRead"), "scopeReadAquire\nscopeReadDual\n");
    EXPECT_EQ(offered("benchcom-run issVersion --h"), "--help\n");
    EXPECT_EQ(offered("benchcom-run issSetIoMode ''"), "\n");  // a number: nothing to offer
    test::ScratchDir s;
    std::filesystem::create_directory(s.dir / "captures");
    EXPECT_EQ(offered("benchcom-run -C " + (s.dir / "capt").string()), (s.dir / "captures").string() + "\n");
}

// Tab in an interactive bash completes the routine's name on the line.
TEST(BashCompletion, TabCompletesTheNameInAnInteractiveBash) {
    test::TerminalSession bash({"/bin/bash", "--norc", "--noprofile", "-i"},
                               {"PS1=$ ", "TERM=dumb", "INPUTRC=/dev/null", "HISTFILE=/dev/null"});
    ASSERT_TRUE(bash.started());
    bash.type("source '" + kCompletion + "'\r");
    size_t at = bash.waitFor("$ ", 10000, bash.waitFor("source", 10000));
    ASSERT_NE(at, std::string::npos) << bash.output();
    bash.type("benchcom-run demoMax7219P\t");
    EXPECT_NE(bash.waitFor("benchcom-run demoMax7219Patterns ", 10000, at), std::string::npos) << bash.output();
    bash.type(
        "\x15"
        "exit\r");
    EXPECT_EQ(bash.finish(10000), 0);
}

}  // namespace
}  // namespace bc
