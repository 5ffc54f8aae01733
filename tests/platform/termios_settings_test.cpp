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
    EXPECT_EQ(termiosFromDcb(line(19200, 8, NOPARITY, ONE5STOPBITS), t), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(t.c_cflag, before.c_cflag);
    EXPECT_EQ(t.c_lflag, before.c_lflag);
}

// Every speed, framing and parity, there and back: the values Windows gives
// them against the terminal's own flags, written out from the two systems'
// headers rather than taken from the code under test.
TEST(TermiosFromDcb, EverySpeedSizeParityAndStopSettingBothWays) {
    const std::pair<DWORD, speed_t> speeds[] = {
        {50, B50},     {75, B75},       {110, B110},     {134, B134},     {150, B150},       {200, B200},
        {300, B300},   {600, B600},     {1200, B1200},   {1800, B1800},   {2400, B2400},     {4800, B4800},
        {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400}};
    for (const auto& [baud, code] : speeds) {
        termios t = cooked();
        ASSERT_EQ(termiosFromDcb(line(baud, 8, NOPARITY, ONESTOPBIT), t), 0u) << baud;
        EXPECT_EQ(cfgetospeed(&t), code) << baud;
        DCB back{};
        dcbFromTermios(t, back);
        EXPECT_EQ(back.BaudRate, baud);
    }
    const std::pair<BYTE, tcflag_t> sizes[] = {{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}};
    const std::pair<BYTE, tcflag_t> parities[] = {{0, 0}, {1, PARENB | PARODD}, {2, PARENB}};
    const std::pair<BYTE, tcflag_t> stops[] = {{0, 0}, {2, CSTOPB}};
    for (const auto& [bits, sizeFlag] : sizes)
        for (const auto& [parity, parityFlags] : parities)
            for (const auto& [stop, stopFlag] : stops) {
                termios t = cooked();
                ASSERT_EQ(termiosFromDcb(line(19200, bits, parity, stop), t), 0u);
                EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB), sizeFlag | parityFlags | stopFlag);
                DCB back{};
                dcbFromTermios(t, back);
                EXPECT_EQ(back.ByteSize, bits);
                EXPECT_EQ(back.Parity, parity);
                EXPECT_EQ(back.StopBits, stop);
            }
}

// GetCommModemStatus: CTS 0x10, DSR 0x20, RING 0x40, RLSD (carrier) 0x80,
// each from its own line and from no other.
TEST(TerminalLines, EachModemLineIsItsOwnStatusBit) {
    const std::pair<int, DWORD> bits[] = {
        {TIOCM_CTS, 0x0010}, {TIOCM_DSR, 0x0020}, {TIOCM_RNG, 0x0040}, {TIOCM_CAR, 0x0080}};
    for (const auto& [lineBit, status] : bits) EXPECT_EQ(modemStatusFromLines(lineBit), status) << lineBit;
    EXPECT_EQ(modemStatusFromLines(TIOCM_RTS | TIOCM_DTR | TIOCM_LE | TIOCM_ST | TIOCM_SR), 0u);
    EXPECT_EQ(modemStatusFromLines(TIOCM_CTS | TIOCM_DSR | TIOCM_RNG | TIOCM_CAR), 0x00F0u);
}

// EscapeCommFunction: SETRTS 3, CLRRTS 4, SETDTR 5, CLRDTR 6, SETBREAK 8,
// CLRBREAK 9, each on its own line and in its own direction.
TEST(TerminalLines, EachEscapeFunctionDrivesItsOwnLine) {
    struct Want {
        DWORD func;
        unsigned long request;
        int bits;
    };
    const Want wants[] = {{3, TIOCMBIS, TIOCM_RTS}, {4, TIOCMBIC, TIOCM_RTS}, {5, TIOCMBIS, TIOCM_DTR},
                          {6, TIOCMBIC, TIOCM_DTR}, {8, TIOCSBRK, 0},         {9, TIOCCBRK, 0}};
    for (const Want& w : wants) {
        const LineControl* c = lineControlFor(w.func);
        ASSERT_NE(c, nullptr) << w.func;
        EXPECT_EQ(c->request, w.request) << w.func;
        EXPECT_EQ(c->bits, w.bits) << w.func;
    }
    for (DWORD other : {0u, 1u, 2u, 7u, 10u}) EXPECT_EQ(lineControlFor(other), nullptr) << other;
}

}  // namespace
}  // namespace bc::posix
