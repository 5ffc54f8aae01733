#include "iss/text_panel.h"

#include <cstdio>
#include <cstring>

#include "app/delay.h"
#include "iss/adapter_interface.h"
#include "serial/transfer.h"

namespace bc {

using namespace iss;

namespace {

constexpr unsigned char kTextRegister = 0x00;
constexpr int kStatusBytes = 4;
constexpr int kPollWaitMs = 600;
// The count byte covers the lead byte and the text: 255 at most.
constexpr size_t kLongestText = 254;

// Rows of the two screens; the panel wraps each 20-character text onto the
// next row.
const char* const kGreeting[] = {"      hello         ", "       zirk         ",
                                 "+ - + - + - + - + - ", "       Tesmo        "};
const char* const kStars[] = {" * * * * * * * * * *", "* * * * * * * * * * ",
                              " * * * * * * * * * *", "* * * * * * * * * * "};

void writeScreen(int fd, const char* const (&rows)[4]) {
    panelWriteText(fd, kPanelLeadNewScreen, rows[0]);
    for (int i = 1; i < 4; ++i) panelWriteText(fd, kPanelLeadNextRow, rows[i]);
}

}  // namespace

void panelWriteText(int fd, int lead, const char* text) {
    const size_t length = std::strlen(text);
    if (length > kLongestText) {
        printf("panelWriteText: text of %lu characters refused, %lu at most\n",
               static_cast<unsigned long>(length), static_cast<unsigned long>(kLongestText));
        return;
    }
    ioBuf[0] = kCmdI2cAd1;
    ioBuf[1] = kPanelWrite;
    ioBuf[2] = kTextRegister;
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
    ioBuf[2] = kStatusBytes;
    writeIoBuf(fd, kAd0HeaderLen);
    delayMs(kPollWaitMs);
    readIoBuf(fd, kStatusBytes);
    printf("setModeIICpollDisp: %02X %02X   %02X %02X \n", ioBuf[0], ioBuf[1], ioBuf[2],
           ioBuf[3]);
    return ioBuf[1];
}

void panelKeyDemo(int fd) {
    panelWriteText(fd, kPanelLeadNewScreen, " press 1 or 3       ");
    int previous = 0;
    for (;;) {
        const int keys = setModeIICpollDisp(fd, 32);
        // A key counts once when it goes down; it must be seen up before it
        // can count again.
        const int pressed = keys & ~previous & 0xFF;
        printf("keys: %02x %02x %02x\n", keys, previous, pressed);
        if (pressed & kPanelKey1) writeScreen(fd, kGreeting);
        if (pressed & kPanelKey3) writeScreen(fd, kStars);
        previous = keys;
    }
}

}  // namespace bc
