#include "fuzz/fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// The sanitizers' runtime: where their reports go.
extern "C" void __sanitizer_set_report_fd(void* fd);

namespace bc::fuzz {

namespace {

// Standard error as the fuzzer found it, for the sanitizers' reports and
// failed checks while the routines' own is discarded (QuietStderr).
int g_stderr = 2;

constexpr int64_t kGapsMs[8] = {0, 1, 50, 99, 100, 101, 250, 1500};
constexpr size_t kLongestFill = 9000;

}  // namespace

void startUp(int* argc, char*** argv, std::initializer_list<const char*> defaults) {
    static std::vector<std::string> args(*argv, *argv + *argc);
    static std::vector<char*> pointers;
    for (const char* flag : defaults) {
        const std::string name(flag, strchr(flag, '=') + 1);
        const bool given = std::any_of(args.begin() + 1, args.end(),
                                       [&](const std::string& a) { return a.compare(0, name.size(), name) == 0; });
        if (!given) args.insert(args.begin() + 1, flag);
    }
    for (std::string& a : args) pointers.push_back(a.data());
    pointers.push_back(nullptr);
    *argc = int(args.size());
    *argv = pointers.data();

    const int kept = dup(2);
    if (kept >= 0) {
        g_stderr = kept;
        __sanitizer_set_report_fd(reinterpret_cast<void*>(intptr_t(kept)));
    }
    fflush(stdout);
    const int null = getenv("BENCHCOM_FUZZ_VERBOSE") ? -1 : open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, 1);
        close(null);
        // The console output goes nowhere: in writes of a megabyte rather
        // than of a few kilobytes.
        static char buffer[1 << 20];
        setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    }
}

int64_t gapOf(uint8_t head) { return kGapsMs[head & 7]; }

void queueReplies(Input& in, sim::SimPort& port, int64_t start) {
    int64_t at = start;
    while (!in.empty() && port.pendingBytes() < kMostQueued) {
        const uint8_t head = in.byte();
        at += gapOf(head);
        if (head & 8) {
            const size_t length = std::min<size_t>(in.u16(), kLongestFill);
            port.send(std::string(length, char(in.byte())), at);
        } else {
            port.send(in.bytes(in.byte()), at);
        }
    }
}

std::string bulkBytes(const std::string& pattern, size_t length) {
    if (pattern.empty()) return std::string(length, '\0');
    // Each pattern byte makes eight bytes; the pattern repeats.
    std::string bytes;
    for (const char bits : pattern)
        for (int b = 0; b < 8; ++b) bytes += uint8_t(bits) >> b & 1 ? char(0xFF) : '\0';
    while (bytes.size() < length) bytes += bytes;
    bytes.resize(length);
    return bytes;
}

void expect(bool ok, const char* what) {
    if (ok) return;
    dprintf(g_stderr, "benchcom fuzz: check failed: %s\n", what);
    abort();
}

QuietStderr::QuietStderr() {
    if (getenv("BENCHCOM_FUZZ_VERBOSE")) return;
    fflush(stderr);
    saved_ = dup(2);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, 2);
        close(null);
    }
}

QuietStderr::~QuietStderr() {
    if (saved_ < 0) return;
    fflush(stderr);
    dup2(saved_, 2);
    close(saved_);
}

// Plain loops over the string's own bytes, left unchecked by the address
// sanitizer: checked, counting a chart script's 400 KB took longer than
// the capture that wrote it (and memchr and memrchr are checked over their
// whole range at every call).
__attribute__((no_sanitize("address", "undefined"))) size_t lineCount(const std::string& text) {
    const char* const p = text.data();
    const size_t size = text.size();
    size_t lines = 0, i = 0;
    // Eight bytes at a time: a byte of x is zero where the text holds "\n",
    // and such a byte alone keeps its high bit clear in the sum below.
    constexpr uint64_t kOnes = 0x0101010101010101u, kHigh = 0x8080808080808080u;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        memcpy(&word, p + i, 8);
        const uint64_t x = word ^ (kOnes * '\n');
        lines += size_t(__builtin_popcountll(~(((x & ~kHigh) + ~kHigh) | x) & kHigh));
    }
    for (; i < size; ++i) lines += p[i] == '\n';
    return lines;
}

__attribute__((no_sanitize("address", "undefined"))) size_t lastLinesAt(const std::string& text, size_t n) {
    // The n + 1st line end from the back ends the line before them.
    const char* const p = text.data();
    size_t seen = 0;
    for (size_t at = text.size(); at > 0; --at)
        if (p[at - 1] == '\n' && seen++ == n) return at;
    return seen == n ? 0 : std::string::npos;
}

}  // namespace bc::fuzz
