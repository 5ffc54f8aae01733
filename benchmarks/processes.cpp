#include "benchmarks/processes.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/posix/child_process.h"

namespace bc::benchmarks {

std::string outputOf(const std::vector<std::string>& argv, int& status) {
    status = -1;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return "";
    posix::ChildSpec spec;
    spec.argv = argv;
    spec.stdoutFd = out[1];
    const pid_t pid = posix::spawnChild(spec);
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

pid_t startIn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
              const std::string& dir, const std::string& outPath) {
    posix::ChildSpec spec;
    spec.argv = argv;
    spec.env = env;
    spec.dir = dir;
    spec.stdoutFile = outPath;
    spec.stderrToFile = true;
    return posix::spawnChild(spec);
}

}  // namespace bc::benchmarks
