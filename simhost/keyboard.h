// Keys typed at the terminal benchcom-sim was started from press the panel's
// keys 1 to 8, each for a second. The terminal is read only while this
// process is in its foreground, and set for key presses only then
// (host_terminal.h): after a stop and a `bg` it is left to the shell, after
// `fg` it is taken again.
#pragma once

#include <cstdint>
#include <vector>

#include "simhost/key_script.h"

namespace bc::sim {

class Keyboard {
public:
    explicit Keyboard(int fd);
    ~Keyboard();
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    // Adds the keys typed since the last call, pressed at `sinceStart`.
    void poll(std::vector<KeyPress>& presses, int64_t sinceStart);

private:
    int fd_;
};

}  // namespace bc::sim
