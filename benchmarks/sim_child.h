// benchcom-sim serving the whole simulated bench on a pseudo-terminal, as a
// child process for the benchmarks that run against it.
#pragma once

#include <sys/types.h>

#include <string>

namespace bc::benchmarks {

class SimChild {
public:
    SimChild() = default;
    ~SimChild() { stop(); }
    SimChild(const SimChild&) = delete;
    SimChild& operator=(const SimChild&) = delete;

    // Starts the simulator and waits for the terminal path it prints.
    bool start(const std::string& simPath, std::string& error);
    const std::string& port() const { return port_; }
    // Ends the simulator (the one process this object started) and waits for it.
    void stop();

private:
    pid_t pid_ = -1;
    std::string port_;
};

}  // namespace bc::benchmarks
