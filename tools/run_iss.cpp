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
void runPpSendPoint(const Args& a) {
    printResult(ppSendPoint(a.fd, a.num[0], a.num[1], a.num[2], a.num[3], a.num[4]));
}
void runPpCircleDemo(const Args& a) { ppCircleDemo(a.fd); }

}  // namespace

std::span<const Routine> issRoutines() {
    static const Routine table[] = {
        {"issVersion", "", "", true, runIssVersion},
        {"issSerialNumber", "", "", true, runIssSerialNumber},
        {"issSetIoMode", "i", "value", true, runIssSetIoMode},
        {"issChangeIoMode", "i", "value", true, runIssChangeIoMode},
        {"issCmd5A10", "i", "value", true, runIssCmd5A10},
        {"issRead5A12", "", "", true, runIssRead5A12},
        {"issSetPins", "i", "value", true, runIssSetPins},
        {"leBytesToInt", "ii", "lo hi", false, runLeBytesToInt},
        {"srf08Range", "", "", true, runSrf08Range},
        {"panelWriteText", "it", "lead text", true, runPanelWriteText},
        {"setModeIICpollDisp", "i", "mode", true, runSetModeIICpollDisp},
        {"panelKeyDemo", "", "", true, runPanelKeyDemo},
        {"ppSendPattern", "", "", true, runPpSendPattern},
        {"ppSendPoint", "iiiii", "x y val1 val2 val3", true, runPpSendPoint},
        {"ppCircleDemo", "", "", true, runPpCircleDemo},
    };
    return table;
}

}  // namespace bc::run
