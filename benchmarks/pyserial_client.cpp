#include "benchmarks/pyserial_client.h"

#include <sstream>

#include "benchmarks/processes.h"

namespace bc::benchmarks {

std::vector<double> pyserialRoundTrips(const Config& cfg, const std::string& port, int warmUp, int count) {
    int status = 0;
    const std::string out = outputOf({cfg.python, cfg.pyserialScript, port, std::to_string(warmUp + count)}, status);
    std::vector<double> us;
    if (status != 0) return us;
    std::istringstream lines(out);
    long long ns;
    for (int i = 0; lines >> ns; ++i)
        if (i >= warmUp) us.push_back(double(ns) / 1e3);
    return us;
}

}  // namespace bc::benchmarks
