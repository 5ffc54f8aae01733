// Runs one of the project's executables as a child process, the way a person
// or an end-to-end check would, and collects what it prints.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/monotonic.h"
#include "platform/posix/child_process.h"
#include "tests/support/scratch_dir.h"

namespace bc::test {

struct ProcessResult {
    std::string out, err;
    int status = -1;    // exit status, or 128 + signal
    double cpuMs = -1;  // processor time the child used, user and system
};

class Child {
public:
    // Starts `argv` with `env` added to the environment; stdout and stderr
    // are pipes the test reads. With `terminalOut` stdout is a raw
    // pseudo-terminal instead, so that the C library flushes it line by line.
    // Standard input is empty (/dev/null): never the terminal the tests were
    // started from, which would make a program think a person sits at it.
    Child(std::vector<std::string> argv, std::vector<std::string> env = {}, bool terminalOut = false) {
        int outPipe[2], errPipe[2];
        if (pipe2(errPipe, O_CLOEXEC)) return;
        if (terminalOut ? !rawTerminal(outPipe) : pipe2(outPipe, O_CLOEXEC) != 0) return;
        posix::ChildLaunch launch;
        launch.argv = std::move(argv);
        launch.env = std::move(env);
        // Not the terminal the suite may have been started from: a program
        // that reads keys there (benchcom-sim) would take it from the person
        // at it, several at once.
        launch.stdinFile = "/dev/null";
        launch.stdoutFd = outPipe[1];
        launch.stderrFd = errPipe[1];
        pid_ = posix::spawnChild(launch);
        close(outPipe[1]);
        close(errPipe[1]);
        out_ = outPipe[0];
        err_ = errPipe[0];
    }
    ~Child() {
        if (pid_ > 0 && !reaped_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) close(out_);
        if (err_ >= 0) close(err_);
    }

    // Reads stdout until it holds `text` or `timeoutMs` passes.
    bool waitForOutput(const std::string& text, int timeoutMs) {
        const int64_t start = monotonicUs();
        while (result.out.find(text) == std::string::npos) {
            const int64_t leftMs = timeoutMs - (monotonicUs() - start) / 1000;
            if (leftMs <= 0 || !pump(int(leftMs))) return false;
        }
        return true;
    }

    void signal(int sig) { kill(pid_, sig); }
    pid_t pid() const { return pid_; }

    // Closes the test's end of stdout, as a reader that has had enough does:
    // the child's next write finds the pipe closed.
    void closeOutput() {
        if (out_ >= 0) close(out_);
        out_ = -1;
    }

    // Collects all output and the exit status (kills the child after timeoutMs).
    ProcessResult& finish(int timeoutMs = 20000) {
        const int64_t end = monotonicUs() + int64_t(timeoutMs) * 1000;
        while (pump(50) || monotonicUs() < end)
            if (exited()) {
                while (pump(0)) {}
                return result;
            }
        kill(pid_, SIGKILL);
        return result;
    }

    // Whether the child has ended (its status is then in `result`).
    bool exited() {
        if (reaped_) return true;
        int st;
        rusage usage{};
        if (wait4(pid_, &st, WNOHANG, &usage) != pid_) return false;
        reaped_ = true;
        result.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
        result.status = posix::exitStatusOf(st);
        return true;
    }

    // Moves whatever the child has printed within `timeoutMs` into
    // `result`; false when nothing came. For a test that plays a device
    // while the child runs, between its own turns.
    bool pump(int timeoutMs) {
        pollfd p[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        if (poll(p, 2, timeoutMs) <= 0) return false;
        char buf[8192];
        bool any = false;
        for (int i = 0; i < 2; ++i)
            if (p[i].revents) {
                ssize_t n = read(p[i].fd, buf, sizeof buf);
                if (n > 0) (i ? result.err : result.out).append(buf, size_t(n)), any = true;
            }
        return any;
    }

    ProcessResult result;

private:
    static double ms(const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; }

    static bool rawTerminal(int fds[2]) {
        if (openpty(&fds[0], &fds[1], nullptr, nullptr, nullptr) != 0) return false;
        termios t;
        tcgetattr(fds[1], &t);
        cfmakeraw(&t);
        tcsetattr(fds[1], TCSANOW, &t);
        fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        fcntl(fds[1], F_SETFD, FD_CLOEXEC);
        return true;
    }

    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
    bool reaped_ = false;
};

inline ProcessResult run(std::vector<std::string> argv, std::vector<std::string> env = {}) {
    Child child(std::move(argv), std::move(env));
    return child.finish();
}

}  // namespace bc::test
