// What benchcom-sim changes in the terminal it is started from, noted in one
// place so that every way out puts it back: the end of the run, an error, a
// signal that ends or stops it, a call of exit. Two things change: the
// terminal's mode while keys are read (canonical input and echo off, so
// that a key press arrives at once and shows nothing; output processing and
// the keyboard's signals stay as they were, so lines keep their line ends
// and Ctrl-C still ends the run), and the scroll region while the bench's
// view is drawn in place at the bottom of the screen.
#pragma once

#include <termios.h>

namespace bc::sim {

// The mode keys are read in, made from the mode the terminal had: only
// ICANON and ECHO cleared, reads returning at once with what there is.
termios keyMode(const termios& before);

// Saves fd's mode and sets keyMode, when fd is a terminal and this process
// is in its foreground (a process in the background that changed it would
// be stopped by SIGTTOU). False when it does neither.
bool takeTerminalKeys(int fd);
bool terminalKeysTaken();

// Puts the saved mode back.
void giveTerminalKeysBack();

// Notes that fd's scroll region is set, above a picture at the bottom of a
// screen of `rows` lines; resetScrollRegion resets it, and puts the cursor
// on a new line below the picture.
void noteScrollRegion(int fd, int rows);
void resetScrollRegion();

// Both of the above, whatever is noted. The three use only
// async-signal-safe calls: signal handlers use them.
void restoreTerminal();

}  // namespace bc::sim
