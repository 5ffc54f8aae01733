// Starting a child program, the one way the bench simulator, the benchmarks
// and the tests do it: posix_spawn with the streams, the environment and the
// working directory the caller asks for.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace bc::posix {

struct ChildLaunch {
    // argv[0] is searched on the PATH when it holds no '/'.
    std::vector<std::string> argv;
    // "NAME=value" entries, each replacing an inherited variable of that name.
    std::vector<std::string> env;
    std::string dir;  // the working directory; empty: ours
    // Standard input read from this file (/dev/null, say); empty: ours.
    std::string stdinFile;
    // Descriptors put in place of standard output and error; -1
    // leaves ours.
    int stdoutFd = -1;
    int stderrFd = -1;
    // Else standard output goes to this file (created; emptied first unless
    // `appendToFile`), and standard error with it when `stderrToFile`.
    std::string stdoutFile;
    bool appendToFile = false;
    bool stderrToFile = false;
};

// The child's process id, or -1 when it could not be started.
pid_t spawnChild(const ChildLaunch& launch);

// The status a shell shows for a wait status: the exit status, or 128 plus
// the signal that ended the child.
int exitStatusOf(int waitStatus);

// Waits for the child to end; its status as exitStatusOf gives it, or -1.
int waitForChild(pid_t pid);

}  // namespace bc::posix
