// A capture takes the place of the earlier one of its name only once it is
// whole. Cut short by Ctrl-C or SIGTERM during its settings queries, it
// leaves the earlier file as it was and nothing of its own; before, the file
// was emptied before the queries and a fragment of a few lines was left. A
// name that could not be opened for writing is still refused before the
// queries, and a link of that name is replaced, not written through.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "scope/single_capture.h"
#include "tests/support/process.h"
#include "tests/support/scope_fixture.h"

namespace bc {
namespace {

namespace fs = std::filesystem;

const std::string kRun = BENCHCOM_RUN_PATH;
const std::string kEarlier = "an earlier capture, whole\n";

std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The capture's file is open from the moment its first settings query is
// sent until its last sample is written; a signal then ends the run at its
// next wait, which is the query's own 600 ms.
TEST(ReplacedCaptureFile, ACaptureCutShortLeavesTheEarlierOneAsItWas) {
    for (const int sig : {SIGINT, SIGTERM}) {
        test::ScratchDir s;
        std::ofstream(s.dir / "op_scope1.csv") << kEarlier;
        test::Child child({"/bin/sh", "-c", "cd " + s.dir.string() + " && exec " + kRun + " scopeReadAquire 1"},
                          {"BENCHCOM_PORT=sim"}, true);
        ASSERT_TRUE(child.waitForOutput(" ScopeSendCmd: :CHAN1:PROB?", 20000)) << child.result.out;
        child.signal(sig);
        EXPECT_EQ(child.finish().status, 128 + sig);
        EXPECT_EQ(test::slurp(s.dir / "op_scope1.csv"), kEarlier) << sig;
        EXPECT_EQ(namesIn(s.dir), std::vector<std::string>{"op_scope1.csv"}) << sig;
    }
}

// A capture run to its end replaces the earlier files, keeping their
// permissions; nothing else is left beside them.
TEST(ReplacedCaptureFile, ACompleteCaptureTakesTheEarlierOnesPlace) {
    test::ScratchDir s;
    for (const char* file : {"op_scope.csv", "gbookFtemp.js"}) {
        std::ofstream(s.dir / file) << kEarlier;
        fs::permissions(s.dir / file, fs::perms(0640));
    }
    const auto r = test::run({"/bin/sh", "-c", "cd " + s.dir.string() + " && exec " + kRun + " scopePollDual"},
                             {"BENCHCOM_PORT=sim"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(test::slurp(s.dir / "op_scope.csv").ends_with("\n===========================\n"));
    const auto js = test::lines(test::slurp(s.dir / "gbookFtemp.js"));
    ASSERT_EQ(js.size(), 4009u);
    EXPECT_EQ(js[0], "var Vertical1Units='V'");
    for (const char* file : {"op_scope.csv", "gbookFtemp.js"})
        EXPECT_EQ(fs::status(s.dir / file).permissions(), fs::perms(0640)) << file;
    EXPECT_EQ(namesIn(s.dir), (std::vector<std::string>{"gbookFtemp.js", "op_scope.csv"}));
}

// A link of the capture's name is replaced by the capture itself; what it
// pointed at is not touched. Before, the capture went through the link.
TEST(ReplacedCaptureFile, ALinkOfTheNameIsReplacedNotWrittenThrough) {
    test::InScratchDir dir;
    std::ofstream("elsewhere.txt") << kEarlier;
    fs::create_symlink("elsewhere.txt", "op_scope2.csv");
    test::ScopeBench s;
    test::StdoutCapture quiet;
    scopeReadAquire(0, '2');
    EXPECT_FALSE(fs::is_symlink("op_scope2.csv"));
    EXPECT_TRUE(fs::is_regular_file("op_scope2.csv"));
    EXPECT_EQ(test::readFile("op_scope2.csv").rfind("Memory Length,4000,\n", 0), 0u);
    EXPECT_EQ(test::readFile("elsewhere.txt"), kEarlier);
}

// As a user without root's rights (nobody, when the test runs as root): a
// file of the name that they may not write, and a directory where they may
// create nothing, cannot be created, as fopen would have found; the
// routine then asks no settings, and the earlier file stays. (A rename
// would have replaced the file they may not write.) A file they may write
// in a directory where they may create nothing is written in place, as
// before: there is no other way to write it.
TEST(ReplacedCaptureFile, ANameThatCouldNotBeWrittenIsStillRefusedBeforeTheQueries) {
    const bool root = geteuid() == 0;
    const std::string asUser = root ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    struct Case {
        const char* what;
        fs::perms dir;
        bool earlier;
        fs::perms file;
        bool created;
    };
    const Case cases[] = {
        {"a file they may not write", fs::perms(0777), true, fs::perms(0444), false},
        {"a directory they may not write", fs::perms(0755), false, fs::perms::none, false},
        {"a file they may write in that directory", fs::perms(0755), true, fs::perms(0666), true},
    };
    for (const Case& c : cases) {
        test::ScratchDir s;
        if (c.earlier) {
            std::ofstream(s.dir / "op_scope1.csv") << kEarlier;
            fs::permissions(s.dir / "op_scope1.csv", c.file);
        }
        fs::permissions(s.dir, c.dir);
        const auto r =
            test::run({"/bin/sh", "-c", "cd " + s.dir.string() + " && exec " + asUser + kRun + " scopeReadAquire 1"},
                      {"BENCHCOM_PORT=sim"});
        fs::permissions(s.dir, fs::perms(0755));
        EXPECT_NE(r.out.find("\n 7998,"), std::string::npos) << c.what;  // the plot is whole
        const std::vector<std::string> left =
            c.earlier ? std::vector<std::string>{"op_scope1.csv"} : std::vector<std::string>{};
        EXPECT_EQ(namesIn(s.dir), left) << c.what;
        if (c.created) {
            EXPECT_EQ(r.status, 0) << c.what << r.err;
            EXPECT_EQ(test::lines(test::slurp(s.dir / "op_scope1.csv")).size(), 4017u) << c.what;
            continue;
        }
        EXPECT_EQ(r.status, 3) << c.what << r.err;
        EXPECT_EQ(r.err, "capture file ./op_scope1.csv could not be created: Permission denied\n") << c.what;
        EXPECT_EQ(r.out.find(":TRIG:LEV?"), std::string::npos) << c.what;
        if (c.earlier) {
            EXPECT_EQ(test::slurp(s.dir / "op_scope1.csv"), kEarlier) << c.what;
        }
    }
}

}  // namespace
}  // namespace bc
