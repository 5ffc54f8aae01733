// A pseudo-terminal whose master side this process serves: raw from the
// start (so nothing is echoed before the client configures the line), the
// master non-blocking, and the slave held open so that a client's close is
// no hang-up and the terminal outlives each client.
#pragma once

#include <string>

namespace bc::sim {

class RawPty {
public:
    RawPty() = default;
    ~RawPty();
    RawPty(const RawPty&) = delete;
    RawPty& operator=(const RawPty&) = delete;

    // On failure returns false with a reason.
    bool open(std::string& error);
    int master() const { return master_; }
    int slave() const { return slave_; }
    const std::string& path() const { return path_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

}  // namespace bc::sim
