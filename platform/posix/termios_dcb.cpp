#include "platform/posix/termios_dcb.h"

#include <iterator>

namespace bc::posix {

namespace {

struct Speed {
    DWORD baud;
    speed_t code;
};

constexpr Speed kSpeeds[] = {
    {50, B50},         {75, B75},         {110, B110},         {134, B134},         {150, B150},
    {200, B200},       {300, B300},       {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},
#ifdef B460800
    {460800, B460800}, {921600, B921600}, {1000000, B1000000}, {2000000, B2000000},
#endif
};

bool speedCode(DWORD baud, speed_t& code) {
    for (const Speed& s : kSpeeds)
        if (s.baud == baud) {
            code = s.code;
            return true;
        }
    return false;
}

DWORD baudOf(speed_t code) {
    for (const Speed& s : kSpeeds)
        if (s.code == code) return s.baud;
    return 0;
}

bool sizeFlag(BYTE bits, tcflag_t& flag) {
    switch (bits) {
    case 5: flag = CS5; return true;
    case 6: flag = CS6; return true;
    case 7: flag = CS7; return true;
    case 8: flag = CS8; return true;
    default: return false;
    }
}

bool parityFlags(BYTE parity, tcflag_t& flags) {
    switch (parity) {
    case NOPARITY: flags = 0; return true;
    case ODDPARITY: flags = PARENB | PARODD; return true;
    case EVENPARITY: flags = PARENB; return true;
#ifdef CMSPAR
    case MARKPARITY: flags = PARENB | PARODD | CMSPAR; return true;
    case SPACEPARITY: flags = PARENB | CMSPAR; return true;
#endif
    default: return false;
    }
}

struct ModemBit {
    int line;
    DWORD status;
};

constexpr ModemBit kModemBits[] = {
    {TIOCM_CTS, MS_CTS_ON},
    {TIOCM_DSR, MS_DSR_ON},
    {TIOCM_RNG, MS_RING_ON},
    {TIOCM_CAR, MS_RLSD_ON},
};

constexpr LineControl kLineControls[] = {
    {SETBREAK, TIOCSBRK, 0},       {CLRBREAK, TIOCCBRK, 0},       {SETRTS, TIOCMBIS, TIOCM_RTS},
    {CLRRTS, TIOCMBIC, TIOCM_RTS}, {SETDTR, TIOCMBIS, TIOCM_DTR}, {CLRDTR, TIOCMBIC, TIOCM_DTR},
};

}  // namespace

DWORD modemStatusFromLines(int lines) {
    DWORD status = 0;
    for (const ModemBit& b : kModemBits)
        if (lines & b.line) status |= b.status;
    return status;
}

const LineControl* lineControlFor(DWORD func) {
    for (const LineControl& c : kLineControls)
        if (c.func == func) return &c;
    return nullptr;
}

DWORD termiosFromDcb(const DCB& dcb, termios& t) {
    speed_t speed;
    tcflag_t size, parity;
    if (!speedCode(dcb.BaudRate, speed) || !sizeFlag(dcb.ByteSize, size) || !parityFlags(dcb.Parity, parity))
        return ERROR_INVALID_PARAMETER;
    if (dcb.StopBits != ONESTOPBIT && dcb.StopBits != TWOSTOPBITS) return ERROR_INVALID_PARAMETER;

    // Raw: no translation of CR or LF, no echo, no signals, no line editing.
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK | IGNPAR);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
#ifdef CMSPAR
    t.c_cflag &= ~CMSPAR;
#endif
    t.c_cflag |= CREAD | CLOCAL | size | parity;
    if (dcb.StopBits == TWOSTOPBITS) t.c_cflag |= CSTOPB;
    if (dcb.fParity && dcb.Parity != NOPARITY) t.c_iflag |= INPCK;
    if (dcb.fOutxCtsFlow || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE) t.c_cflag |= CRTSCTS;
    if (dcb.fOutX) t.c_iflag |= IXON;
    if (dcb.fInX) t.c_iflag |= IXOFF;
    // Reads are timed by poll(), never by the terminal's VMIN/VTIME.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    return ERROR_SUCCESS;
}

void dcbFromTermios(const termios& t, DCB& dcb) {
    dcb.BaudRate = baudOf(cfgetospeed(&t));
    switch (t.c_cflag & CSIZE) {
    case CS5: dcb.ByteSize = 5; break;
    case CS6: dcb.ByteSize = 6; break;
    case CS7: dcb.ByteSize = 7; break;
    default: dcb.ByteSize = 8; break;
    }
    if (!(t.c_cflag & PARENB))
        dcb.Parity = NOPARITY;
    else
        dcb.Parity = (t.c_cflag & PARODD) ? ODDPARITY : EVENPARITY;
    dcb.StopBits = (t.c_cflag & CSTOPB) ? TWOSTOPBITS : ONESTOPBIT;
    dcb.fParity = (t.c_iflag & INPCK) ? 1 : 0;
    dcb.fOutxCtsFlow = (t.c_cflag & CRTSCTS) ? 1 : 0;
    if (t.c_cflag & CRTSCTS) dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    dcb.fOutX = (t.c_iflag & IXON) ? 1 : 0;
    dcb.fInX = (t.c_iflag & IXOFF) ? 1 : 0;
    dcb.XonChar = static_cast<char>(t.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
}

}  // namespace bc::posix
