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

}  // namespace
}  // namespace bc
