// Child processes of the benchmark: programs run to their end for their
// output, and programs started in a directory with their output in a file.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace bc::benchmarks {

// The program's output, and its exit status in `status` (-1 if it could not
// be started, 128 + signal if one ended it).
std::string outputOf(const std::vector<std::string>& argv, int& status);

// Starts the program in `dir` (empty: here) with `env` added to the
// environment and its standard output and error going to `outPath`; returns
// its process id, or -1.
pid_t startIn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& dir,
              const std::string& outPath);

}  // namespace bc::benchmarks
