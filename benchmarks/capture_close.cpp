// P6: benchcom-run scopePollDual against the simulated instrument on a
// terminal the benchmark serves itself, so that it knows when the last byte
// of the second waveform block went out; inotify tells when each capture
// file was closed after writing.
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "benchmarks/clock.h"
#include "benchmarks/own_pty.h"
#include "benchmarks/processes.h"
#include "benchmarks/sections.h"
#include "sim/scope_model.h"
#include "sim/sim_port.h"

namespace bc::benchmarks {

namespace {

int64_t simNowMs() { return monotonicUs() / 1000; }

bool asksForBlock2(const std::string& message) {
    std::string m = message;
    std::transform(m.begin(), m.end(), m.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return m.find("acquire2:memory?") != std::string::npos;
}

// The simulated instrument behind our own terminal, with the times P6 needs.
class Server {
public:
    // `console`: the master side of the tool's console terminal, drained
    // as a terminal window would (-1: the console is a file).
    Server(OwnPty& pty, int notify, int console) : pty_(pty), notify_(notify), console_(console) {
        port_.peer = &scope_;
    }

    // Serves until the child has ended; false when a time was not seen.
    bool serve(pid_t child, double& closeMs) {
        for (;;) {
            deliver();
            waitAndTake();
            int ws;
            if (waitpid(child, &ws, WNOHANG) == child) break;
        }
        takeNotifications();  // any close not yet taken when the tool ended
        if (lastByte_ < 0 || csvClosed_ < 0 || jsClosed_ < 0) return false;
        closeMs = msBetween(lastByte_, std::max(csvClosed_, jsClosed_));
        return true;
    }

private:
    void deliver() {
        uint8_t buf[4096];
        DWORD got = 0;
        do {
            port_.read(buf, sizeof buf, simNowMs(), got);
            toClient_.append(reinterpret_cast<char*>(buf), got);
        } while (got == sizeof buf);
        if (!toClient_.empty()) {
            // Timed before the write: the tool, woken by it, may run to its
            // end before this process gets the processor back.
            const int64_t writing = nowNs();
            const ssize_t n = write(pty_.master(), toClient_.data(), toClient_.size());
            if (n > 0) toClient_.erase(0, size_t(n));
            if (block2Asked_ && lastByte_ < 0 && toClient_.empty() && port_.pendingBytes() == 0) lastByte_ = writing;
        }
    }

    void waitAndTake() {
        const int64_t now = simNowMs();
        const int64_t next = port_.nextByteAt(now);
        const int timeout = next >= 0 ? int(std::max<int64_t>(0, next - now)) : 20;
        pollfd p[3] = {{pty_.master(), short(POLLIN | (toClient_.empty() ? 0 : POLLOUT)), 0},
                       {notify_, POLLIN, 0},
                       {console_, POLLIN, 0}};
        if (poll(p, 3, timeout) <= 0) return;
        if (p[0].revents & POLLIN) takeFromClient();
        if (p[1].revents & POLLIN) takeNotifications();
        if (p[2].revents & POLLIN) {
            char buf[16384];
            while (read(console_, buf, sizeof buf) > 0) {}
        }
    }

    void takeFromClient() {
        uint8_t buf[4096];
        const ssize_t n = read(pty_.master(), buf, sizeof buf);
        if (n <= 0) return;
        DWORD written;
        const size_t heardBefore = scope_.heard.size();
        port_.write(buf, DWORD(n), simNowMs(), written);
        for (size_t i = heardBefore; i < scope_.heard.size(); ++i)
            if (asksForBlock2(scope_.heard[i].message)) block2Asked_ = true;
    }

    void takeNotifications() {
        alignas(inotify_event) char buf[4096];
        const ssize_t n = read(notify_, buf, sizeof buf);
        const int64_t now = nowNs();
        for (ssize_t off = 0; off < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buf + off);
            if (lastByte_ >= 0 && (e->mask & IN_CLOSE_WRITE) && e->len) {
                if (std::strcmp(e->name, "op_scope.csv") == 0) csvClosed_ = now;
                if (std::strcmp(e->name, "gbookFtemp.js") == 0) jsClosed_ = now;
            }
            off += ssize_t(sizeof(inotify_event) + e->len);
        }
    }

    OwnPty& pty_;
    int notify_;
    int console_;
    sim::ScopeModel scope_;
    sim::SimPort port_;
    std::string toClient_;
    bool block2Asked_ = false;
    int64_t lastByte_ = -1, csvClosed_ = -1, jsClosed_ = -1;
};

bool oneRun(const Config& cfg, const std::string& dir, bool consoleOnTerminal, double& closeMs) {
    OwnPty pty, console;
    if (consoleOnTerminal && !console.open()) return false;
    const int notify = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (!pty.open() || notify < 0 || inotify_add_watch(notify, dir.c_str(), IN_CLOSE_WRITE) < 0) {
        if (notify >= 0) close(notify);
        return false;
    }
    Server server(pty, notify, consoleOnTerminal ? console.master() : -1);
    const pid_t child = startIn({cfg.runPath, "scopePollDual"}, {"BENCHCOM_PORT=" + pty.path()}, dir,
                                consoleOnTerminal ? console.path() : dir + "/console.txt");
    const bool ok = child > 0 && server.serve(child, closeMs);
    close(notify);
    return ok;
}

}  // namespace

void measureCaptureClose(const Config& cfg, Report& report) {
    const std::string dir = cfg.scratch + "/p6";
    mkdir(dir.c_str(), 0755);
    for (const bool onTerminal : {false, true}) {
        std::vector<double> ms;
        for (int i = 0; i < cfg.runs(7); ++i) {
            double closeMs = 0;
            if (!oneRun(cfg, dir, onTerminal, closeMs)) break;
            ms.push_back(closeMs);
        }
        const Summary s = summarize(ms);
        report.add({"P6",
                    onTerminal ? "last block byte to files closed, console a terminal"
                               : "last block byte to files closed, console a file",
                    s, "ms", 2, "< 20 ms", s.runs > 0 && s.median < 20});
    }
    report.note(
        "P6: benchcom-run scopePollDual, its console a file or a pseudo-terminal the benchmark "
        "drains; timed from just before the write that ends the second block to the later "
        "IN_CLOSE_WRITE of the two capture files.");
}

}  // namespace bc::benchmarks
