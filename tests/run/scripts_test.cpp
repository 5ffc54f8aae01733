// benchcom-run --script: routines one a line on one open port, the script
// read and checked whole before anything is opened.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"

namespace bc {
namespace {

using test::run;

const std::string kRun = BENCHCOM_RUN_PATH;
const std::string kSim = BENCHCOM_SIM_PATH;
const std::string kConnected = " serial port COM9 connect OK \n\r";

void write(const std::filesystem::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

std::string withoutConnectLine(const std::string& out) {
    return out.compare(0, kConnected.size(), kConnected) == 0 ? out.substr(kConnected.size()) : out;
}

// Each routine of a script prints exactly what it prints alone, after one
// connect line: the port is opened once. Comments, blank lines and Windows
// line ends are nothing.
TEST(Scripts, EachRoutinePrintsWhatItPrintsAloneAfterOneOpen) {
    test::ScratchDir s;
    // The range finder first: the I2C devices do not answer once the
    // adapter's pins are in I/O mode, on one bench as on a real one.
    const std::vector<std::vector<std::string>> steps = {
        {"srf08Range"}, {"issSetIoMode", "0"}, {"sendMax7219Word", "0x0C01"}, {"lrnGetFloat", ":TIM", "SCAL"}};
    std::string alone;
    for (const auto& step : steps) {
        std::vector<std::string> argv = {kRun};
        argv.insert(argv.end(), step.begin(), step.end());
        alone += withoutConnectLine(run(argv, {"BENCHCOM_PORT=sim"}).out);
    }
    write(s.dir / "procedure.txt",
          "# a procedure at the bench\r\n"
          "srf08Range\r\n"
          "\r\n"
          "issSetIoMode 0\n"
          "   sendMax7219Word 0x0C01   # normal operation, on\n"
          "lrnGetFloat :TIM SCAL");  // the last line without its end
    auto r = run({kRun, "-C", s.dir.string(), "--script", "procedure.txt"}, {"BENCHCOM_PORT=sim"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, kConnected + alone);
}

// A quoted word keeps its blanks, and its escapes are the bytes they name:
// what the bench receives shows it. Unquoted, a backslash is itself, as on
// the command line (where ScopeSendCmd reads \r as a carriage return).
TEST(Scripts, QuotedWordsReachTheInstrumentAsTheBytesTheyName) {
    test::ScratchDir s;
    write(s.dir / "words.txt",
          "scpi *CLS\n"
          "ScopeSendCmd \":CHAN1:SCAL 5\\r\"\n"
          "ScopeSendCmd :CHAN1:OFFS\\r\n"
          "scpi \"say \\\"hi\\\"\\t\\\\ \\x41\"\n"
          "send 5A \"01\" read 3\n");
    auto r = run({"/bin/sh", "-c",
                  "cd " + s.dir.string() + " && " + kSim + " --wire wire.bin -- " + kRun + " --script - < words.txt"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::slurp(s.dir / "wire.bin"),
              std::string("*CLS\r:CHAN1:SCAL 5\r:CHAN1:OFFS\rsay \"hi\"\t\\ A\r\x5A\x01"));
    EXPECT_NE(r.out.find("> say \"hi\"\\t\\\\ A\\r\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("> 5A 01\n< 07 05 40\n"), std::string::npos) << r.out;
}

// A bad line: one line on standard error with the file, the line number and
// what is wrong, status 2, and nothing opened (no connect line), so nothing
// sent either, not even the good lines before it.
TEST(Scripts, ABadLineIsNamedAndNothingIsOpened) {
    test::ScratchDir s;
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"issVersoin", "unknown routine 'issVersoin'; did you mean issVersion?"},
        {"issSetIoMode", "issSetIoMode takes 1 argument (value), not 0"},
        {"scpi \"*IDN?", "a double quote is not closed"},
        {"scpi \"\\q\"", "unknown escape \\q in quotes (known: \\r \\n \\t \\\\ \\\" \\xHH)"},
        {"scpi \"\\x4\"", "\\x takes two hexadecimal digits, as in \\x1B"},
        {"scpi \"\\x00\"", "\\x00: a word cannot hold a zero byte"},
        {"send 5A 0G", "'0G' is not a byte in hexadecimal (00 to FF)"},
        {"send read 3", "send takes 1 to 128 bytes in hexadecimal, then optionally read N (byte... [read n])"},
        {"count_rd 99999999999", "'99999999999' is out of range: a number here is from -2147483648 to 2147483647"},
        {"help issVersion", "help is a command of the shell, not a routine"},
    };
    for (const auto& [line, what] : bad) {
        write(s.dir / "bad.txt", "# checked whole first\nissVersion\n\n" + line + "\nissVersion\n");
        auto r = run({kRun, "-C", s.dir.string(), "--script", "bad.txt"}, {"BENCHCOM_PORT=sim"});
        EXPECT_EQ(r.status, 2) << line;
        EXPECT_EQ(r.out, "") << line;
        EXPECT_EQ(r.err, "benchcom-run: bad.txt:4: " + what + "\n") << line;
    }
    auto r = run({"/bin/sh", "-c", "echo 'issVersion 1' | " + kRun + " --script -"}, {"BENCHCOM_PORT=sim"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "benchcom-run: standard input:1: issVersion takes 0 arguments (none), not 1\n");
    r = run({kRun, "-C", s.dir.string(), "--script", "missing.txt"}, {"BENCHCOM_PORT=sim"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "benchcom-run: cannot read the script missing.txt: No such file or directory\n");
}

// Without a terminal, the shell reads its lines from standard input as they
// come, with no prompt: routines, raw commands, help and errors, one port.
TEST(Scripts, TheShellReadsPipedLinesWithoutAPrompt) {
    test::ScratchDir s;
    write(s.dir / "typed.txt", "issVersion\nhelp wait\nissVresion\nsend 5A 01 read 3\nquit\nissVersion\n");
    auto r = run({"/bin/sh", "-c", kRun + " --shell < " + (s.dir / "typed.txt").string()}, {"BENCHCOM_PORT=sim"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kConnected + " iBytesWritten: 2 \nISS:5A-01:ver: 07 05 40 \n" +
                         "wait ms  (no port needed)\n  Waits MS milliseconds. Sends nothing.\n" +
                         "> 5A 01\n< 07 05 40\n");
    EXPECT_EQ(r.err, "benchcom-run: unknown routine 'issVresion'; did you mean issVersion?\n");
}

}  // namespace
}  // namespace bc
