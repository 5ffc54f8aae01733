// A pseudo-terminal the benchmark serves itself, for measurements that need
// to know exactly when a byte went out (or that none did).
#pragma once

#include <string>

namespace bc::bench {

class OwnPty {
public:
    OwnPty() = default;
    ~OwnPty();
    OwnPty(const OwnPty&) = delete;
    OwnPty& operator=(const OwnPty&) = delete;

    bool open();
    int master() const { return master_; }  // non-blocking
    const std::string& path() const { return path_; }
    // Reads and drops whatever the client has sent so far.
    void drain();

private:
    int master_ = -1;
    int slave_ = -1;  // held open, so that a client's close is no hang-up
    std::string path_;
};

}  // namespace bc::bench
