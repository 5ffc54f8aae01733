// Translation between the Windows device-control block and termios.
#pragma once

#include <termios.h>

#include "platform/platform.h"

namespace bc::posix {

// Writes the line settings of `dcb` into `t`: raw bytes both ways, receiver
// on, carrier ignored, and the block's speed, framing and flow control.
// Returns 0, or ERROR_INVALID_PARAMETER for settings the terminal cannot take.
DWORD termiosFromDcb(const DCB& dcb, termios& t);

// Fills the line-setting fields of `dcb` from `t`; the fields termios cannot
// express are left as they are.
void dcbFromTermios(const termios& t, DCB& dcb);

}  // namespace bc::posix
