#include <cstdio>

#include "iss/adapter_commands.h"
#include "iss/plot_device.h"
#include "iss/range_finder.h"
#include "iss/text_panel.h"
#include "tools/routine_table.h"

namespace bc::run {

namespace {

// Results go on a last line of their own.
void printResult(int result) { printf("%d\n", result); }

void runIssVersion(const Args& a) { issVersion(a.fd); }
void runIssSerialNumber(const Args& a) { issSerialNumber(a.fd); }
void runIssSetIoMode(const Args& a) { issSetIoMode(a.fd, a.num[0]); }
void runIssChangeIoMode(const Args& a) { issChangeIoMode(a.fd, a.num[0]); }
void runIssCmd5A10(const Args& a) { issCmd5A10(a.fd, a.num[0]); }
void runIssRead5A12(const Args& a) { issRead5A12(a.fd); }
void runIssSetPins(const Args& a) { issSetPins(a.fd, a.num[0]); }
void runLeBytesToInt(const Args& a) { printResult(leBytesToInt(a.num[0], a.num[1])); }
void runSrf08Range(const Args& a) { srf08Range(a.fd); }
void runPanelWriteText(const Args& a) { panelWriteText(a.fd, a.num[0], a.text[0]); }
void runSetModeIICpollDisp(const Args& a) { printResult(setModeIICpollDisp(a.fd, a.num[0])); }
void runPanelKeyDemo(const Args& a) { panelKeyDemo(a.fd); }
void runPpSendPattern(const Args& a) { printResult(ppSendPattern(a.fd)); }
void runPpSendPoint(const Args& a) { printResult(ppSendPoint(a.fd, a.num[0], a.num[1], a.num[2], a.num[3], a.num[4])); }
void runPpCircleDemo(const Args& a) { ppCircleDemo(a.fd); }

}  // namespace

std::span<const Routine> issRoutines() {
    static const Routine table[] = {
        {"issVersion", "", "",
         "Asks the USB-ISS adapter for its module id, firmware version and mode (frame 5A 01) and "
         "prints the three bytes. Immediate.",
         true, runIssVersion},
        {"issSerialNumber", "", "",
         "Asks the adapter for its serial number (5A 03) and prints seven bytes of it, in "
         "hexadecimal and as characters. Immediate.",
         true, runIssSerialNumber},
        {"issSetIoMode", "i", "value",
         "Puts the adapter's four pins in I/O mode with the pin types in VALUE (5A 02 00 VALUE; 0 "
         "makes them all outputs) and prints the two reply bytes. Immediate.",
         true, runIssSetIoMode},
        {"issChangeIoMode", "i", "value",
         "Changes the pin types to VALUE without leaving I/O mode (5A 02 10 VALUE) and prints the "
         "two reply bytes. Immediate.",
         true, runIssChangeIoMode},
        {"issCmd5A10", "i", "value",
         "Sends the adapter's sub-command 0x10 with VALUE (5A 10 VALUE 00) and prints the one "
         "reply byte. Immediate.",
         true, runIssCmd5A10},
        {"issRead5A12", "", "",
         "Sends 5A 10 0C 00, then 5A 12 00 00, waits 600 ms and prints the first four of the eight "
         "reply bytes. Under a second.",
         true, runIssRead5A12},
        {"issSetPins", "i", "value",
         "Sets the adapter's four I/O pins to the bit pattern VALUE (63 VALUE); prints only the "
         "byte count written. Immediate.",
         true, runIssSetPins},
        {"leBytesToInt", "ii", "lo hi", "Prints HI * 256 + LO, each taken by its low 8 bits. Sends nothing.", false,
         runLeBytesToInt},
        {"srf08Range", "", "",
         "Starts a ranging in centimetres on the SRF08 range finder, waits 600 ms, reads its range "
         "registers and prints two ranges with a bar for the second. Under a second.",
         true, runSrf08Range},
        {"panelWriteText", "it", "lead text",
         "Writes TEXT to the text panel as one row after the LEAD byte (12 starts a fresh screen, "
         "0 the next row). Immediate.",
         true, runPanelWriteText},
        {"setModeIICpollDisp", "i", "mode",
         "Reads the text panel's four status bytes (600 ms) and prints them, then the key byte "
         "(bit 0 key 1, bit 2 key 3). MODE is not sent.",
         true, runSetModeIICpollDisp},
        {"panelKeyDemo", "", "",
         "Shows \"press 1 or 3\" on the text panel, then polls its keys every 600 ms: key 1 "
         "shows a greeting, key 3 a screen of stars. Runs until Ctrl-C.",
         true, runPanelKeyDemo},
        {"ppSendPattern", "", "", "Sends the plot device its fixed 32-byte pattern, prints one line and waits 600 ms.",
         true, runPpSendPattern},
        {"ppSendPoint", "iiiii", "x y val1 val2 val3",
         "Sends the plot device one point: X, Y and three value bytes. Immediate.", true, runPpSendPoint},
        {"ppCircleDemo", "", "",
         "Walks a point around a circle on the plot device, a step every 600 ms, printing each "
         "position. Runs until Ctrl-C.",
         true, runPpCircleDemo},
    };
    return table;
}

}  // namespace bc::run
