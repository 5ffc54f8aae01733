// Runs one of the project's executables as a child process, the way a person
// or an end-to-end check would, and collects what it prints.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace bc::test {

struct ProcessResult {
    std::string out, err;
    int status = -1;  // exit status, or 128 + signal
    double cpuMs = -1;  // processor time the child used, user and system
};

class Child {
public:
    // Starts `argv` with `env` added to the environment; stdout and stderr
    // are pipes the test reads. With `terminalOut` stdout is a raw
    // pseudo-terminal instead, so that the C library flushes it line by line.
    Child(std::vector<std::string> argv, std::vector<std::string> env = {},
          bool terminalOut = false) {
        int outPipe[2], errPipe[2];
        if (pipe2(errPipe, O_CLOEXEC)) return;
        if (terminalOut ? !rawTerminal(outPipe) : pipe2(outPipe, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, outPipe[1], 1);
        posix_spawn_file_actions_adddup2(&fa, errPipe[1], 2);
        std::vector<char*> args, envp;
        for (auto& a : argv) args.push_back(a.data());
        args.push_back(nullptr);
        for (char** e = environ; *e; ++e) envp.push_back(*e);
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        if (posix_spawn(&pid_, args[0], &fa, nullptr, args.data(), envp.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&fa);
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
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (result.out.find(text) == std::string::npos) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !pump(int(left.count()))) return false;
        }
        return true;
    }

    void signal(int sig) { kill(pid_, sig); }

    // Closes the test's end of stdout, as a reader that has had enough does:
    // the child's next write finds the pipe closed.
    void closeOutput() {
        if (out_ >= 0) close(out_);
        out_ = -1;
    }

    // Collects all output and the exit status (kills the child after timeoutMs).
    ProcessResult& finish(int timeoutMs = 20000) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (pump(50) || std::chrono::steady_clock::now() < end) {
            int st;
            rusage usage{};
            if (wait4(pid_, &st, WNOHANG, &usage) == pid_) {
                reaped_ = true;
                result.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
                while (pump(0)) {
                }
                result.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
                return result;
            }
        }
        kill(pid_, SIGKILL);
        return result;
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

    // Moves whatever is ready on either pipe into the result.
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

    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
    bool reaped_ = false;
};

// A fresh directory for the files of the programs a test runs (their
// current directory), removed with everything in it afterwards.
struct ScratchDir {
    ScratchDir() {
        char tmpl[] = "/tmp/benchcom-run-XXXXXX";
        if (mkdtemp(tmpl)) dir = tmpl;
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::filesystem::path dir;
};

inline ProcessResult run(std::vector<std::string> argv, std::vector<std::string> env = {}) {
    Child child(std::move(argv), std::move(env));
    return child.finish();
}

}  // namespace bc::test
