// A program run as a person runs it in a terminal window: a pseudo-terminal
// is its controlling terminal and all three of its standard streams. Keys
// the test types pass through the terminal's line discipline (Ctrl-C
// becomes SIGINT for the program), and what the program writes comes back
// as the screen gets it, line ends as "\r\n".
#pragma once

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/monotonic.h"
#include "platform/posix/child_process.h"

namespace bc::test {

class TerminalSession {
public:
    // Starts `argv` in `dir` (empty: here) with `env` added to the
    // environment, on a terminal of 100 columns and 30 rows.
    TerminalSession(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
                    const std::string& dir = {}) {
        winsize size{};
        size.ws_col = 100;
        size.ws_row = 30;
        pid_ = forkpty(&master_, nullptr, nullptr, &size);
        if (pid_ == 0) {
            if (!dir.empty() && chdir(dir.c_str()) != 0) _exit(126);
            for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
            std::vector<char*> args;
            for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
    }
    ~TerminalSession() {
        if (pid_ > 0 && status_ < 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) close(master_);
    }
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    bool started() const { return pid_ > 0 && master_ >= 0; }

    // Types `keys` as they are ("\r" is Enter, "\x03" Ctrl-C, "\t" Tab).
    // Keys meant for a line editor go after its prompt has come: typed
    // earlier, they meet the terminal's own line discipline (its echo, and
    // Ctrl-D as an end of file), as a person's typing ahead would.
    void type(const std::string& keys) {
        if (::write(master_, keys.data(), keys.size()) != ssize_t(keys.size())) return;
    }

    // Reads what the program writes until `text` has come after `from` (an
    // offset in output()) or `timeoutMs` pass; the offset just past it, or
    // npos.
    size_t waitFor(const std::string& text, int timeoutMs, size_t from = 0) {
        const int64_t end = monotonicUs() + int64_t(timeoutMs) * 1000;
        for (;;) {
            const size_t at = out_.find(text, from);
            if (at != std::string::npos) return at + text.size();
            const int64_t left = (end - monotonicUs()) / 1000;
            if (left <= 0 || !pump(int(left))) return std::string::npos;
        }
    }

    // Waits for the program to end, reading what it writes meanwhile; its
    // exit status (128 + signal when a signal ended it), or -1 when it has
    // not ended within `timeoutMs`.
    int finish(int timeoutMs) {
        const int64_t end = monotonicUs() + int64_t(timeoutMs) * 1000;
        while (status_ < 0 && monotonicUs() < end) {
            pump(20);
            int st = 0;
            if (waitpid(pid_, &st, WNOHANG) == pid_) status_ = posix::exitStatusOf(st);
        }
        while (pump(20)) {}
        return status_;
    }

    // Everything the program has written so far.
    const std::string& output() const { return out_; }

private:
    bool pump(int timeoutMs) {
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0) return false;
        char buf[4096];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) return false;
        out_.append(buf, size_t(n));
        return true;
    }

    pid_t pid_ = -1;
    int master_ = -1;
    int status_ = -1;
    std::string out_;
};

}  // namespace bc::test
