#include "benchmarks/processes.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

namespace bc::benchmarks {

namespace {

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> p;
    for (auto& t : texts) p.push_back(t.data());
    p.push_back(nullptr);
    return p;
}

int statusOf(int ws) { return WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws); }

}  // namespace

std::string outputOf(const std::vector<std::string>& argv, int& status) {
    status = -1;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return "";
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    std::vector<std::string> args = argv;
    std::vector<char*> argp = pointers(args);
    pid_t pid = -1;
    const int r = posix_spawn(&pid, argp[0], &fa, nullptr, argp.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(out[1]);
    std::string text;
    if (r == 0) {
        char buf[4096];
        ssize_t n;
        while ((n = read(out[0], buf, sizeof buf)) > 0) text.append(buf, size_t(n));
        status = waitFor(pid);
    }
    close(out[0]);
    return text;
}

pid_t startIn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
              const std::string& dir, const std::string& outPath) {
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&fa, 1, 2);
    if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&fa, dir.c_str());
    std::vector<std::string> args = argv, envs;
    // Ours replace inherited variables of the same name.
    auto overridden = [&](const char* e) {
        for (const std::string& mine : env)
            if (std::strncmp(e, mine.c_str(), mine.find('=') + 1) == 0) return true;
        return false;
    };
    for (char** e = environ; *e; ++e)
        if (!overridden(*e)) envs.push_back(*e);
    envs.insert(envs.end(), env.begin(), env.end());
    std::vector<char*> argp = pointers(args), envp = pointers(envs);
    pid_t pid = -1;
    if (posix_spawn(&pid, argp[0], &fa, nullptr, argp.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&fa);
    return pid;
}

int waitFor(pid_t pid) {
    int ws = 0;
    if (waitpid(pid, &ws, 0) != pid) return -1;
    return statusOf(ws);
}

}  // namespace bc::benchmarks
