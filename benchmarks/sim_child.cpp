#include "benchmarks/sim_child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/posix/child_process.h"

namespace bc::benchmarks {

bool SimChild::start(const std::string& simPath, std::string& error) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        error = "no pipe for benchcom-sim";
        return false;
    }
    // No view: the simulator would draw the display on a terminal's stderr.
    posix::ChildLaunch launch;
    launch.argv = {simPath, "--view", "/dev/null"};
    launch.stdinFile = "/dev/null";  // keys typed at the benchmark's terminal are not the bench's
    launch.stdoutFd = out[1];
    pid_ = posix::spawnChild(launch);
    close(out[1]);
    if (pid_ < 0) {
        close(out[0]);
        error = "cannot start " + simPath;
        return false;
    }
    // The first line it prints is the terminal it serves.
    char c;
    pollfd p{out[0], POLLIN, 0};
    while (poll(&p, 1, 5000) == 1 && read(out[0], &c, 1) == 1 && c != '\n') port_ += c;
    close(out[0]);
    if (port_.empty()) {
        error = "benchcom-sim named no terminal";
        stop();
        return false;
    }
    return true;
}

void SimChild::stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

}  // namespace bc::benchmarks
