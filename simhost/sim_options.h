// benchcom-sim's command line.
#pragma once

#include <string>
#include <vector>

#include "sim/scope_signal.h"
#include "simhost/key_script.h"

namespace bc::sim {

struct SimOptions {
    std::string viewPath;    // empty: standard error when it is a terminal, else no view
    std::string linkPath;    // a symbolic link to the port, for programs that want a fixed name
    std::string wirePath;    // a record of every byte the program sends
    std::string listen;      // rfc2217://HOST:PORT or socket://HOST:PORT: serve over TCP instead
    std::string replayPath;  // a BENCHCOM_TRACE recording whose devices answer instead of the bench
    std::vector<KeyPress> presses;
    SignalSource inputs[2];
    bool inputGiven[2] = {false, false};
    std::vector<std::string> faults;
    std::vector<std::string> command;  // after "--"; empty: serve until interrupted
    bool help = false;
    bool version = false;
};

// Parses the arguments; on error returns false with a message.
bool parseSimOptions(int argc, char** argv, SimOptions& options, std::string& error);

// The text of --help.
std::string simUsage();

}  // namespace bc::sim
