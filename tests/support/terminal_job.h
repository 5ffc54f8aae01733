// A program run as a person runs it from a terminal window: on a
// pseudo-terminal that is the controlling terminal of its session, as the
// foreground job of a small parent that does what a job-control shell does
// (gives the job the terminal, notices when it stops, continues it as `fg`
// would). So the keys written to the terminal reach the job as the
// terminal's signals (Ctrl-C, Ctrl-Z), and a stop really stops it: a job
// whose parent is outside its session would be in an orphaned process
// group, where the system does not stop a process. The test plays the
// terminal: it types keys, reads what is written to the screen and reads
// the terminal's mode.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/monotonic.h"

namespace bc::test {

class TerminalJob {
public:
    // Starts argv (a path) on a terminal of `size` set to `mode`.
    TerminalJob(const std::vector<std::string>& argv, const termios& mode, winsize size) {
        int report[2], command[2];
        if (pipe2(report, O_CLOEXEC) != 0) return;
        if (pipe2(command, O_CLOEXEC) != 0) return;
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        termios m = mode;
        parent_ = forkpty(&master_, nullptr, &m, &size);
        if (parent_ == 0) actAsShell(args.data(), report[1], command[0]);
        close(report[1]);
        close(command[0]);
        report_ = report[0];
        command_ = command[1];
        if (parent_ < 0) return;
        fcntl(master_, F_SETFL, O_NONBLOCK);
        fcntl(master_, F_SETFD, FD_CLOEXEC);
        char kind = 0;
        if (readReport(kind, job_, 10000) && kind == 'P') started_ = true;
    }
    ~TerminalJob() {
        if (job_ > 0 && !ended_) kill(-job_, SIGKILL);
        if (parent_ > 0) {
            kill(parent_, SIGKILL);
            waitpid(parent_, nullptr, 0);
        }
        for (int fd : {master_, report_, command_})
            if (fd >= 0) close(fd);
    }
    TerminalJob(const TerminalJob&) = delete;
    TerminalJob& operator=(const TerminalJob&) = delete;

    bool started() const { return started_; }
    pid_t pid() const { return job_; }

    // The terminal's mode now (on Linux the master reads the slave's).
    termios mode() const {
        termios t{};
        tcgetattr(master_, &t);
        return t;
    }

    void type(const std::string& keys) {
        ssize_t ignored = write(master_, keys.data(), keys.size());
        (void)ignored;
    }

    // Everything written to the screen so far.
    const std::string& screen() const { return screen_; }

    // Reads the screen until it holds `text` (after `from`).
    bool waitForScreen(const std::string& text, int timeoutMs, size_t from = 0) {
        return waitUntil([&] { return screen_.find(text, from) != std::string::npos; }, timeoutMs);
    }

    // Reads the screen until `done` holds, checking it between reads.
    template <typename F>
    bool waitUntil(F done, int timeoutMs) {
        const int64_t end = monotonicUs() + int64_t(timeoutMs) * 1000;
        while (!done()) {
            if (monotonicUs() > end) return false;
            readScreen(20);
        }
        return true;
    }

    // Waits for the job to stop ('S') or end ('E', with its status as a
    // shell shows it), reading the screen meanwhile; 0 after the time-out.
    char waitForJob(int timeoutMs, int& status) {
        char kind = 0;
        const int64_t end = monotonicUs() + int64_t(timeoutMs) * 1000;
        while (monotonicUs() < end) {
            readScreen(0);
            if (readReport(kind, status, 20)) {
                if (kind == 'E') ended_ = true;
                return kind;
            }
        }
        return 0;
    }

    // What `fg` does: gives the stopped job the terminal and continues it.
    void continueJob() {
        ssize_t ignored = write(command_, "C", 1);
        (void)ignored;
    }

    // Whether every process that had the terminal open has closed it: then
    // reading the terminal's master fails.
    bool waitForHangUp(int timeoutMs) {
        return waitUntil([&] { return hungUp_; }, timeoutMs);
    }

private:
    void readScreen(int waitMs) {
        if (hungUp_) {
            usleep(useconds_t(waitMs) * 1000);
            return;
        }
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, waitMs) <= 0) return;
        char buf[8192];
        const ssize_t n = read(master_, buf, sizeof buf);
        if (n > 0) screen_.append(buf, size_t(n));
        if (n < 0 && errno == EIO) hungUp_ = true;
    }

    bool readReport(char& kind, int& value, int waitMs) {
        pollfd p{report_, POLLIN, 0};
        if (poll(&p, 1, waitMs) <= 0) return false;
        char message[1 + sizeof(int)];
        if (read(report_, message, sizeof message) != ssize_t(sizeof message)) return false;
        kind = message[0];
        memcpy(&value, message + 1, sizeof value);
        return true;
    }

    // The shell's part, in the child of forkpty: the session's leader with
    // the terminal as its controlling terminal. Only plain system calls
    // from here on.
    [[noreturn]] static void actAsShell(char** args, int report, int command) {
        auto say = [report](char kind, int value) {
            char message[1 + sizeof(int)];
            message[0] = kind;
            memcpy(message + 1, &value, sizeof value);
            ssize_t ignored = write(report, message, sizeof message);
            (void)ignored;
        };
        signal(SIGTTOU, SIG_IGN);  // handing the terminal over from the background
        const pid_t job = fork();
        if (job == 0) {
            setpgid(0, 0);
            tcsetpgrp(STDIN_FILENO, getpid());
            signal(SIGTTOU, SIG_DFL);
            execv(args[0], args);
            _exit(127);
        }
        setpgid(job, job);
        tcsetpgrp(STDIN_FILENO, job);
        say('P', job);
        for (;;) {
            int st = 0;
            if (waitpid(job, &st, WUNTRACED) != job) _exit(1);
            if (WIFSTOPPED(st)) {
                tcsetpgrp(STDIN_FILENO, getpgrp());
                say('S', WSTOPSIG(st));
                char c = 0;
                if (read(command, &c, 1) != 1) _exit(1);
                tcsetpgrp(STDIN_FILENO, job);
                kill(-job, SIGCONT);
                continue;
            }
            say('E', WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st));
            _exit(0);
        }
    }

    pid_t parent_ = -1, job_ = -1;
    int master_ = -1, report_ = -1, command_ = -1;
    bool started_ = false, ended_ = false, hungUp_ = false;
    std::string screen_;
};

}  // namespace bc::test
