// benchcom-run as a person calls it: its usage, argument checking and exit
// statuses.
#include <gtest/gtest.h>

#include "tests/support/process.h"

namespace bc {
namespace {

using test::run;

const std::string kRun = BENCHCOM_RUN_PATH;
const std::string kNoDevice = "BENCHCOM_PORT=/dev/no-such-benchcom-port";

TEST(Runner, HelpListsTheRoutinesWithTheirArguments) {
    auto r = run({kRun, "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: benchcom-run ROUTINE [ARG...]"), std::string::npos);
    EXPECT_NE(r.out.find("lrnGetFloat            section key"), std::string::npos);
}

TEST(Runner, LearnStringLookupNeedsNoPort) {
    auto r = run({kRun, "lrnGetFloat", ":REF2", "LOC"}, {kNoDevice});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "-50\n");
    r = run({kRun, "lrnGetFloat", ":TIM", "SCAL"}, {kNoDevice});
    EXPECT_EQ(r.out, "2.5e-06\n");
}

TEST(Runner, BadCallsPrintTheUsageOnStderrAndExitTwo) {
    const std::vector<std::vector<std::string>> calls = {
        {kRun},
        {kRun, "noSuchRoutine"},
        {kRun, "lrnGetFloat", ":TIM"},
        {kRun, "lrnGetFloat", ":TIM", "SCAL", "extra"},
    };
    for (const auto& call : calls) {
        auto r = run(call, {kNoDevice});
        EXPECT_EQ(r.status, 2) << call.size();
        EXPECT_EQ(r.out, "");  // and so no port line either: nothing was opened
        EXPECT_NE(r.err.find("benchcom-run: "), std::string::npos);
        EXPECT_NE(r.err.find("usage: benchcom-run"), std::string::npos);
    }
}

// A mistyped name gets the nearest names: a name in the wrong case, a
// letter too many, two letters swapped; the names that look like mistakes
// are the routines' own.
TEST(Runner, AnUnknownRoutineGetsTheNearestNames) {
    const std::vector<std::pair<std::string, std::string>> typed = {
        {"issversion", "issVersion"},
        {"scopeReadAcquire", "scopeReadAquire"},
        {"sendMAX7219xyz", "sendMAX2719xyz"},
        {"ISSSERIALNUMBER", "issSerialNumber"},
        {"--shel", "--shell"},  // a mistyped option is taken for a routine, as it always was
    };
    for (const auto& [name, meant] : typed) {
        auto r = run({kRun, name}, {kNoDevice});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
                  "benchcom-run: unknown routine '" + name + "'; did you mean " + meant + "?");
    }
    auto r = run({kRun, "scopePoll"}, {kNoDevice});
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
              "benchcom-run: unknown routine 'scopePoll'; did you mean scopePollWaveforms or scopePollDual?");
}

// `help ROUTINE` and `ROUTINE --help` print the routine's entry: its
// arguments, and what it sends and how long it takes; nothing is opened.
TEST(Runner, HelpForOneRoutinePrintsItsEntry) {
    const std::string entry =
        "sendMAX2719xyz x y z\n"
        "  Lights bit X (0-7) alone in digit register Y+1 (Y 0-7); Z is not used. 0.6 s.\n";
    for (const auto& call : std::vector<std::vector<std::string>>{{kRun, "help", "sendMAX2719xyz"},
                                                                  {kRun, "sendMAX2719xyz", "--help"},
                                                                  {kRun, "--help", "sendMAX2719xyz"}}) {
        auto r = run(call, {kNoDevice});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, entry);
        EXPECT_EQ(r.err, "");
    }
    auto r = run({kRun, "help", "issversion"}, {kNoDevice});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("did you mean issVersion?"), std::string::npos);
}

TEST(Runner, ANumberOutOfRangeSaysSo) {
    auto r = run({kRun, "count_rd", "99999999999"}, {kNoDevice});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
              "benchcom-run: '99999999999' is out of range: a number here is from -2147483648 to 2147483647");
    r = run({kRun, "count_rd", "12x"}, {kNoDevice});
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "benchcom-run: '12x' is not a number");
}

}  // namespace
}  // namespace bc
