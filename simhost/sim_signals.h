// The signals benchcom-sim acts on. Ctrl-C (SIGINT), SIGTERM and a hang-up
// (SIGHUP) are noted for the serving loop, which passes them on to the
// command and ends once the command has; so the run always ends through its
// normal way out, which gives the terminal back. Ctrl-Z (SIGTSTP) is noted
// too: the loop gives the terminal back, stops, and on SIGCONT takes it again.
// Ctrl-\ (SIGQUIT) gives the terminal back at once and quits as it would.
#pragma once

namespace bc::sim {

void catchSimSignals();

// The ending signal noted, or 0.
int endSignal();

// Whether a stop was asked for since the last call.
bool stopAsked();

// Gives the terminal back and stops this process; returns once it is
// continued. (In a process group with no shell to continue it, an orphaned
// one, the system does not stop it, and this returns at once.)
void stopHere();

}  // namespace bc::sim
