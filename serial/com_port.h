// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// The one serial port the tool talks through.
#pragma once

#include "platform/win32_api.h"

namespace bc {

// The open port; every transfer goes through it. Null at start, set by every
// openPort (INVALID_HANDLE_VALUE after a failed device open), left stale by
// closePort.
extern HANDLE hPort;

// The device opened whatever port number is passed; the number only labels
// the messages.
extern const char devicePath[];

// Opens and configures the port: baudRate bits per second, parity 'E', 'O'
// or none, 7 data bits for '7' and 8 otherwise, one stop bit, no flow
// control, RTS and DTR under the program's control. Prints one line either
// way; returns hPort, or null on failure.
HANDLE openPort(int portNumber, int baudRate, int parity, int dataBits);

// Closes hPort. The port number is ignored.
void closePort(int portNumber);

}  // namespace bc
