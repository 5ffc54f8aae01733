// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "app/main_sequence.h"

#include <cstdio>

#include "app/modem_line_exerciser.h"
#include "platform/delay.h"
#include "platform/runtime.h"
#include "platform/win32_api.h"
#include "scope/learn_string.h"
#include "serial/com_port.h"

namespace bc {

namespace {

// The parser check: seven look-ups on the built-in learn string.
void checkLearnParser() {
    printf("wanted value = %g\n", double(lrnGetFloat(sampleLearnString, ";:CHAN", ";BW")));
    printf("wanted value = %g\n", double(lrnGetFloat(sampleLearnString, ":TIM", "SCAL")));
    printf("wanted value = %g\n", double(lrnGetFloat(sampleLearnString, ":TIM", "SWE")));
    printf("wanted value = %g\n", double(lrnGetFloat(sampleLearnString, ":DISP", ";CONT")));
    printf("wanted Bvalue = %g\n", double(lrnGetFloat(sampleLearnString, " ", " ")));
    printf("wanted Bvalue = %g\n", double(lrnGetFloat(sampleLearnString, ":WAV", " ")));
    printf("wanted Bvalue = %g\n", double(lrnGetFloat(sampleLearnString, "", ":WAV")));
}

void openOrEnd() {
    if (openPort(9, 19200, 'N', '8')) return;
    printf("Opening Port Failed");
    delayMs(5000);
    exit(1);
}

}  // namespace

int main(int, char**, char**) {
    checkLearnParser();
    printf("\n++++++++++\nUSB-ISS and MAX2719 TCC version:-\t\n++++++++++\n");
    openOrEnd();
    closePort(9);
    openOrEnd();
    modemLineTest();
    return 0;
}

}  // namespace bc
