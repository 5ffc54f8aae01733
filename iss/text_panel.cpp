// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "iss/text_panel.h"

#include <cstdio>
#include <cstring>

#include "iss/adapter_interface.h"
#include "iss/text_panel_registers.h"
#include "platform/delay.h"
#include "serial/transfer.h"

namespace bc {

using namespace iss;

namespace {

constexpr int kPollWaitMs = 600;
// Lead bytes: a fresh screen, or nothing, so that the text goes on where the
// last one ended.
constexpr int kLeadNewScreen = panel::kFreshScreen;
constexpr int kLeadNextRow = panel::kNothing;
// The count byte covers the lead byte and the text: 255 at most.
constexpr size_t kLongestText = 254;

// Rows of the two screens; the panel wraps each 20-character text onto the
// next row.
const char* const kGreeting[] = {"      hello         ", "       zirk         ", "+ - + - + - + - + - ",
                                 "       Tesmo        "};
const char* const kStars[] = {" * * * * * * * * * *", "* * * * * * * * * * ", " * * * * * * * * * *",
                              "* * * * * * * * * * "};

void writeScreen(int fd, const char* const (&rows)[4]) {
    panelWriteText(fd, kLeadNewScreen, rows[0]);
    for (int i = 1; i < 4; ++i) panelWriteText(fd, kLeadNextRow, rows[i]);
}

}  // namespace

void panelWriteText(int fd, int lead, const char* text) {
    const size_t length = std::strlen(text);
    if (length > kLongestText) {
        printf("panelWriteText: text of %lu characters refused, %lu at most\n", static_cast<unsigned long>(length),
               static_cast<unsigned long>(kLongestText));
        return;
    }
    ioBuf[0] = kCmdI2cAd1;
    ioBuf[1] = kPanelWrite;
    ioBuf[2] = panel::kRegister;
    ioBuf[3] = static_cast<unsigned char>(length + 1);
    ioBuf[4] = static_cast<unsigned char>(lead & 0xFF);
    writeIoBuf(fd, kAd1HeaderLen + 1);
    // The text goes straight from the caller's string: it would not fit in
    // the frame buffer.
    writeBytes(fd, text, int(length));
    readIoBuf(fd, kI2cWriteReplyLen);
}

int setModeIICpollDisp(int fd, int) {
    ioBuf[0] = kCmdI2cAd0;
    ioBuf[1] = kPanelRead;
    ioBuf[2] = panel::kStatusBytes;
    writeIoBuf(fd, kAd0HeaderLen);
    delayMs(kPollWaitMs);
    readIoBuf(fd, panel::kStatusBytes);
    printf("setModeIICpollDisp: %02X %02X   %02X %02X \n", ioBuf[0], ioBuf[1], ioBuf[2], ioBuf[3]);
    return ioBuf[panel::kStatusKeysLow];
}

void panelKeyDemo(int fd) {
    panelWriteText(fd, kLeadNewScreen, " press 1 or 3       ");
    int previous = 0;
    for (;;) {
        const int keys = setModeIICpollDisp(fd, 32);
        // A key counts once when it goes down; it must be seen up before it
        // can count again.
        const int pressed = keys & ~previous & 0xFF;
        printf("keys: %02x %02x %02x\n", keys, previous, pressed);
        if (pressed & panel::kKey1) writeScreen(fd, kGreeting);
        if (pressed & panel::kKey3) writeScreen(fd, kStars);
        previous = keys;
    }
}

}  // namespace bc
