// Whether the standard streams are a terminal (a console on Windows), for
// what a program does differently when a person sits at it.
#pragma once

namespace bc {

// Whether standard stream `stream` (0 input, 1 output, 2 error) is a terminal.
bool isTerminal(int stream);

// Whether standard streams `a` and `b` are one and the same terminal, so that
// what each writes lands on the same screen.
bool sameTerminal(int a, int b);

}  // namespace bc
