#include "platform/posix/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>

extern char** environ;

namespace bc::posix {

namespace {

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (std::string& s : strings) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

// Our environment with the launch's entries in place of those of their names.
std::vector<std::string> environmentFor(const std::vector<std::string>& mine) {
    auto replaced = [&](const char* e) {
        for (const std::string& m : mine)
            if (std::strncmp(e, m.c_str(), m.find('=') + 1) == 0) return true;
        return false;
    };
    std::vector<std::string> all;
    for (char** e = environ; *e; ++e)
        if (!replaced(*e)) all.push_back(*e);
    all.insert(all.end(), mine.begin(), mine.end());
    return all;
}

void arrangeStreams(const ChildLaunch& launch, posix_spawn_file_actions_t& fa) {
    if (!launch.stdinFile.empty()) posix_spawn_file_actions_addopen(&fa, 0, launch.stdinFile.c_str(), O_RDONLY, 0);
    if (launch.stdoutFd >= 0) posix_spawn_file_actions_adddup2(&fa, launch.stdoutFd, 1);
    if (launch.stderrFd >= 0) posix_spawn_file_actions_adddup2(&fa, launch.stderrFd, 2);
    if (!launch.stdoutFile.empty()) {
        const int flags = O_WRONLY | O_CREAT | (launch.appendToFile ? O_APPEND : O_TRUNC);
        posix_spawn_file_actions_addopen(&fa, 1, launch.stdoutFile.c_str(), flags, 0644);
        if (launch.stderrToFile) posix_spawn_file_actions_adddup2(&fa, 1, 2);
    }
    if (!launch.dir.empty()) posix_spawn_file_actions_addchdir_np(&fa, launch.dir.c_str());
}

}  // namespace

pid_t spawnChild(const ChildLaunch& launch) {
    if (launch.argv.empty()) return -1;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    arrangeStreams(launch, fa);
    std::vector<std::string> args = launch.argv, envs = environmentFor(launch.env);
    std::vector<char*> argp = pointers(args), envp = pointers(envs);
    pid_t pid = -1;
    const bool onPath = launch.argv[0].find('/') == std::string::npos;
    const int r = onPath ? posix_spawnp(&pid, argp[0], &fa, nullptr, argp.data(), envp.data())
                         : posix_spawn(&pid, argp[0], &fa, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&fa);
    return r == 0 ? pid : -1;
}

int exitStatusOf(int ws) { return WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws); }

int waitForChild(pid_t pid) {
    int ws = 0;
    if (waitpid(pid, &ws, 0) != pid) return -1;
    return exitStatusOf(ws);
}

}  // namespace bc::posix
