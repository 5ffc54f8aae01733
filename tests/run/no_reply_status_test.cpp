// benchcom-run's status when an instrument did not answer whole: the
// console stays as it is, one line on standard error names the first such
// exchange and how many there were, and the status is 4 (3, a capture file
// not written whole, goes first). On benchcom-sim's faulty benches.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"

namespace bc {
namespace {

using test::run;

const std::string kRun = BENCHCOM_RUN_PATH;
const std::string kSim = BENCHCOM_SIM_PATH;

// benchcom-run on a bench with `fault`, in the scratch directory.
test::ProcessResult onFaultyBench(const test::ScratchDir& s, const std::string& fault, const std::string& args) {
    return run(
        {"/bin/sh", "-c", "cd " + s.dir.string() + " && " + kSim + " --fault " + fault + " -- " + kRun + " " + args});
}

// An unplugged adapter: the request is still in the buffer and is printed
// as the reply, as it always was; the status now says that nothing came.
// Over a script the count runs on and the first is named with its routine;
// an exchange whose reply has no fixed length (send without read) is not
// counted.
TEST(NoReplyStatus, ASilentAdapterIsStatusFour) {
    test::ScratchDir s;
    std::ofstream(s.dir / "steps.txt") << "lrnGetFloat :TIM SCAL\nissVersion\nsend 5A 01\nsend 5A 03 read 8\n";
    auto r = onFaultyBench(s, "adapter-silent", "--script steps.txt");
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.out.find("ISS:5A-01:ver: 5A 01 00 \n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("> 5A 01\n< (nothing)\n> 5A 03\n< (0 of 8)\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.err,
              "benchcom-run: 2 exchanges without a whole reply, the first in issVersion: adapter frame 5A 01 got 0 "
              "of 3 reply bytes\n");

    // An adapter that answers one byte of each reply.
    r = onFaultyBench(s, "adapter-short", "issSerialNumber");
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.err,
              "benchcom-run: 1 exchange without a whole reply, the first in issSerialNumber: adapter frame 5A 03 "
              "got 1 of 7 reply bytes\n");
}

// An oscilloscope whose waveform blocks come short: the capture writes its
// files with what came, as before, and the run says so. A query counts when
// nothing comes back; a command that is no query expects nothing.
TEST(NoReplyStatus, AShortOrSilentOscilloscopeIsStatusFour) {
    test::ScratchDir s;
    auto r = onFaultyBench(s, "short-block", "scopePollDual");
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.err,
              "benchcom-run: 2 exchanges without a whole reply, the first in scopePollDual: \":acquire1:memory?\\r\" "
              "got 4000 of 8014 reply bytes\n");
    EXPECT_TRUE(std::filesystem::exists(s.dir / "op_scope.csv"));
    std::ofstream(s.dir / "raw.txt") << "scpi *RST\nscpi *IDN?\nscopeQueryValue :TIM:SCAL?\\n\n";
    r = onFaultyBench(s, "scope-silent", "--script raw.txt");
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.out.find("> *IDN?\\r\n< (nothing)\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "benchcom-run: 2 exchanges without a whole reply, the first in scpi: \"*IDN?\\r\" got no reply\n");
}

// A capture file that cannot be created is status 3 even when the
// instrument did not answer whole either; both are said.
TEST(NoReplyStatus, AnUnwrittenCaptureFileGoesFirst) {
    test::ScratchDir s;
    std::filesystem::create_directory(s.dir / "op_scope.csv");
    auto r = onFaultyBench(s, "short-block", "scopePollDual");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("capture file ./op_scope.csv could not be created: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("benchcom-run: 2 exchanges without a whole reply"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace bc
