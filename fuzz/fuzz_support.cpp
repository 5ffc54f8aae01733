#include "fuzz/fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace bc::fuzz {

namespace {

std::string g_scratch;

void removeScratch() {
    std::error_code ignored;
    if (!g_scratch.empty()) std::filesystem::remove_all(g_scratch, ignored);
}

constexpr int64_t kGapsMs[8] = {0, 1, 50, 99, 100, 101, 250, 1500};
constexpr size_t kLongestFill = 9000;
// Enough for a learn string run on past the 64 KiB the capture drains, and
// two blocks; more would only slow each run down.
constexpr size_t kMostQueued = 96 * 1024;

// Flags of libFuzzer's whose values are paths.
const char* const kPathFlags[] = {"-artifact_prefix=", "-exact_artifact_path=", "-dict=",
                                  "-merge_control_file=", "-features_dir="};

std::string absolutePath(const std::string& path) {
    return std::filesystem::absolute(path).string();
}

std::string absoluteArgument(const std::string& arg) {
    if (arg.empty()) return arg;
    if (arg[0] != '-') return absolutePath(arg);
    for (const char* flag : kPathFlags) {
        const std::string f(flag);
        if (arg.compare(0, f.size(), f) == 0 && arg.size() > f.size())
            return f + absolutePath(arg.substr(f.size()));
    }
    return arg;
}

}  // namespace

void startUp(int* argc, char*** argv) {
    static std::vector<std::string> args;
    static std::vector<char*> pointers;
    for (int i = 0; i < *argc; ++i) args.push_back(i == 0 ? (*argv)[0] : absoluteArgument((*argv)[i]));
    for (std::string& a : args) pointers.push_back(a.data());
    pointers.push_back(nullptr);
    *argv = pointers.data();

    fflush(stdout);
    const int null = getenv("BENCHCOM_FUZZ_VERBOSE") ? -1 : open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, 1);
        close(null);
    }
    char dir[] = "/tmp/benchcom-fuzz-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) {
        perror("benchcom fuzz: scratch directory");
        abort();
    }
    g_scratch = dir;
    atexit(removeScratch);
}

void queueReplies(Input& in, sim::SimPort& port, int64_t start) {
    int64_t at = start;
    while (!in.empty() && port.pendingBytes() < kMostQueued) {
        const uint8_t head = in.byte();
        at += kGapsMs[head & 7];
        if (head & 8) {
            const size_t length = std::min<size_t>(in.u16(), kLongestFill);
            port.send(std::string(length, char(in.byte())), at);
        } else {
            port.send(in.bytes(in.byte()), at);
        }
    }
}

void expect(bool ok, const char* what) {
    if (ok) return;
    fprintf(stderr, "benchcom fuzz: check failed: %s\n", what);
    abort();
}

std::string fileText(const char* name) {
    std::string text;
    FILE* f = fopen(name, "rb");
    if (!f) return text;
    char buf[65536];
    for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
    fclose(f);
    return text;
}

size_t lineCount(const std::string& text) { return size_t(std::count(text.begin(), text.end(), '\n')); }

}  // namespace bc::fuzz
