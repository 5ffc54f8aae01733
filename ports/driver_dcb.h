#pragma once

#include "platform/win32_api.h"

namespace bc::ports {

// What a serial driver reports for a freshly opened port: binary mode, DTR
// and RTS on, continue-on-XOFF set, the usual XON/XOFF characters, 9600 8N1.
inline DCB freshDriverDcb() {
    DCB d{};
    d.DCBlength = sizeof(DCB);
    d.BaudRate = 9600;
    d.fBinary = 1;
    d.fDtrControl = DTR_CONTROL_ENABLE;
    d.fRtsControl = RTS_CONTROL_ENABLE;
    d.fTXContinueOnXoff = 1;
    d.XonLim = 2048;
    d.XoffLim = 512;
    d.ByteSize = 8;
    d.XonChar = 0x11;
    d.XoffChar = 0x13;
    return d;
}

}  // namespace bc::ports
