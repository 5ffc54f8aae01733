// Translation between Windows' serial values and the terminal's: the
// device-control block and termios, the modem-status bits and TIOCM lines,
// the escape functions and the ioctls that carry them out. All of it is
// plain data, kept here in tables.
#pragma once

#include <sys/ioctl.h>
#include <termios.h>

#include "platform/win32_api.h"

namespace bc::posix {

// Writes the line settings of `dcb` into `t`: raw bytes both ways, receiver
// on, carrier ignored, and the block's speed, framing and flow control.
// Returns 0, or ERROR_INVALID_PARAMETER for settings the terminal cannot take.
DWORD termiosFromDcb(const DCB& dcb, termios& t);

// Fills the line-setting fields of `dcb` from `t`; the fields termios cannot
// express are left as they are.
void dcbFromTermios(const termios& t, DCB& dcb);

// GetCommModemStatus's word for the TIOCM lines of TIOCMGET.
DWORD modemStatusFromLines(int lines);

// How EscapeCommFunction's line functions are done on a terminal: an ioctl
// request and, for the modem lines, the TIOCM bit it sets or clears (0 for
// the break requests, which take no argument).
struct LineControl {
    DWORD func;
    unsigned long request;
    int bits;
};
// The entry for `func`, or null for the functions that are no line control.
const LineControl* lineControlFor(DWORD func);

}  // namespace bc::posix
