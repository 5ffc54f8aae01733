#include <gtest/gtest.h>

#include "platform/posix/termios_dcb.h"

namespace bc::posix {
namespace {

// A terminal as a shell leaves it: canonical, echoing, translating.
termios cooked() {
    termios t{};
    t.c_iflag = ICRNL | IXON | BRKINT | ISTRIP | INPCK;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
    t.c_cflag = CS8 | HUPCL | CRTSCTS;
    t.c_cc[VMIN] = 1;
    return t;
}

DCB line(DWORD baud, BYTE bits, BYTE parity, BYTE stop) {
    DCB d{};
    d.BaudRate = baud;
    d.ByteSize = bits;
    d.Parity = parity;
    d.StopBits = stop;
    return d;
}

TEST(TermiosFromDcb, MakesTheLineRawWithTheRequestedFraming) {
    termios t = cooked();
    ASSERT_EQ(termiosFromDcb(line(19200, 8, NOPARITY, ONESTOPBIT), t), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | IXON | BRKINT | ISTRIP | INPCK), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));
    EXPECT_NE(t.c_cflag & CREAD, 0u);
    EXPECT_NE(t.c_cflag & CLOCAL, 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);
    EXPECT_EQ(cfgetospeed(&t), speed_t(B19200));
    EXPECT_EQ(cfgetispeed(&t), speed_t(B19200));
}

TEST(TermiosFromDcb, SevenBitsParityStopBitsAndFlowControl) {
    termios t = cooked();
    DCB d = line(9600, 7, ODDPARITY, TWOSTOPBITS);
    d.fOutxCtsFlow = 1;
    d.fOutX = 1;
    ASSERT_EQ(termiosFromDcb(d, t), 0u);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS),
              tcflag_t(CS7 | PARENB | PARODD | CSTOPB | CRTSCTS));
    EXPECT_NE(t.c_iflag & IXON, 0u);
    EXPECT_EQ(t.c_iflag & IXOFF, 0u);
    // Parity is generated but not checked unless fParity asks for it.
    EXPECT_EQ(t.c_iflag & INPCK, 0u);

    DCB back{};
    dcbFromTermios(t, back);
    EXPECT_EQ(back.BaudRate, 9600u);
    EXPECT_EQ(back.ByteSize, 7);
    EXPECT_EQ(back.Parity, ODDPARITY);
    EXPECT_EQ(back.StopBits, TWOSTOPBITS);
    EXPECT_EQ(back.fOutxCtsFlow, 1u);
}

TEST(TermiosFromDcb, SettingsATerminalCannotTakeAreRefused) {
    termios t = cooked();
    const termios before = t;
    EXPECT_EQ(termiosFromDcb(line(12345, 8, NOPARITY, ONESTOPBIT), t), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(termiosFromDcb(line(19200, 9, NOPARITY, ONESTOPBIT), t), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(termiosFromDcb(line(19200, 8, 7, ONESTOPBIT), t), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(termiosFromDcb(line(19200, 8, NOPARITY, ONE5STOPBITS), t),
              DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(t.c_cflag, before.c_cflag);
    EXPECT_EQ(t.c_lflag, before.c_lflag);
}

}  // namespace
}  // namespace bc::posix
