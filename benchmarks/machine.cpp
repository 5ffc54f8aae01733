#include "benchmarks/machine.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <fstream>

namespace bc::benchmarks {

namespace {

std::string cpuModel() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("model name", 0) == 0) {
            const size_t colon = line.find(':');
            return colon == std::string::npos ? line : line.substr(colon + 2);
        }
    return "unknown processor";
}

}  // namespace

std::string machineDescription() {
    utsname u{};
    uname(&u);
    return std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + " cores, " + cpuModel() + ", " + u.sysname + " " + u.release;
}

std::string loadAverages() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

}  // namespace bc::benchmarks
