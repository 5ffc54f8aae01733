#include "simhost/keyboard.h"

#include <unistd.h>

#include "simhost/host_terminal.h"

namespace bc::sim {

Keyboard::Keyboard(int fd) : fd_(isatty(fd) ? fd : -1) {
    if (fd_ >= 0) takeTerminalKeys(fd_);
}

Keyboard::~Keyboard() {
    if (fd_ >= 0) giveTerminalKeysBack();
}

void Keyboard::poll(std::vector<KeyPress>& presses, int64_t sinceStart) {
    if (fd_ < 0 || tcgetpgrp(fd_) != getpgrp()) return;
    if (!terminalKeysTaken() && !takeTerminalKeys(fd_)) return;
    char c;
    while (read(fd_, &c, 1) == 1)
        if (c >= '1' && c <= '8') presses.push_back({c - '0', sinceStart, 1000});
}

}  // namespace bc::sim
