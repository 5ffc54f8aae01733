// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "app/modem_line_exerciser.h"

#include <cstdio>

#include "platform/runtime.h"
#include "platform/win32_api.h"
#include "serial/com_port.h"

namespace bc {

DWORD modemStatus = 0;

namespace {

void printModemStatus(const char* label) {
    GetCommModemStatus(hPort, &modemStatus);
    printf("%s: %04X %04X %04X %04X %04X \n", label, unsigned(modemStatus), unsigned(MS_CTS_ON), unsigned(MS_DSR_ON),
           unsigned(MS_RING_ON), unsigned(MS_RLSD_ON));
}

}  // namespace

// Break, RTS and DTR are raised and never lowered: every round after the
// first finds them up already.
void modemLineTest() {
    for (int i = 0; i < 2000; ++i) {
        printf("====================================================\n");
        printModemStatus("GetCommModemStatus");
        _sleep(50);
        EscapeCommFunction(hPort, SETBREAK);
        EscapeCommFunction(hPort, SETRTS);
        EscapeCommFunction(hPort, SETDTR);
        _sleep(50);
        printModemStatus("GetCommModemStatu_");
    }
}

}  // namespace bc
