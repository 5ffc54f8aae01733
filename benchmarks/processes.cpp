#include "benchmarks/processes.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/posix/child_process.h"

namespace bc::benchmarks {

std::string outputOf(const std::vector<std::string>& argv, int& status) {
    status = -1;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return "";
    posix::ChildLaunch launch;
    launch.argv = argv;
    launch.stdoutFd = out[1];
    const pid_t pid = posix::spawnChild(launch);
    close(out[1]);
    std::string text;
    if (pid > 0) {
        char buf[4096];
        ssize_t n;
        while ((n = read(out[0], buf, sizeof buf)) > 0) text.append(buf, size_t(n));
        status = posix::waitForChild(pid);
    }
    close(out[0]);
    return text;
}

pid_t startIn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& dir,
              const std::string& outPath) {
    posix::ChildLaunch launch;
    launch.argv = argv;
    launch.env = env;
    launch.dir = dir;
    launch.stdoutFile = outPath;
    launch.stderrToFile = true;
    return posix::spawnChild(launch);
}

}  // namespace bc::benchmarks
