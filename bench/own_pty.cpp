#include "bench/own_pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace bc::bench {

OwnPty::~OwnPty() {
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
}

bool OwnPty::open() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return false;
    path_ = ptsname(master_);
    slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) return false;
    termios t;
    tcgetattr(slave_, &t);
    cfmakeraw(&t);
    tcsetattr(slave_, TCSANOW, &t);
    fcntl(master_, F_SETFL, O_NONBLOCK);
    return true;
}

void OwnPty::drain() {
    char buf[4096];
    while (read(master_, buf, sizeof buf) > 0) {
    }
}

}  // namespace bc::bench
