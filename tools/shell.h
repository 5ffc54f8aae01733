// benchcom-run --shell: the port opened once, and routines, raw commands and
// the shell's own commands read a line at a time.
#pragma once

namespace bc::run {

// Runs the shell until quit, the end of the input, or Ctrl-C at the prompt;
// returns the exit status (Session::status, 130 for Ctrl-C at the prompt, 1
// when the port cannot be opened).
int runShell();

}  // namespace bc::run
