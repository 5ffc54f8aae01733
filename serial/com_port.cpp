// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "serial/com_port.h"

#include <cstdio>

namespace bc {

HANDLE hPort = nullptr;
const char devicePath[] = "\\\\.\\COM3";

namespace {

// Byte timing for every exchange: a read ends 100 ms after the last byte or
// 100 ms + 1 ms per byte after it began; a write gets 5 ms + 1 ms per byte.
void setExchangeTimeouts(COMMTIMEOUTS& t) {
    t.ReadIntervalTimeout = 100;
    t.ReadTotalTimeoutConstant = 100;
    t.ReadTotalTimeoutMultiplier = 1;
    t.WriteTotalTimeoutConstant = 5;
    t.WriteTotalTimeoutMultiplier = 1;
}

void setLine(DCB& dcb, int baudRate, int parity, int dataBits) {
    dcb.BaudRate = DWORD(baudRate);
    dcb.ByteSize = dataBits == '7' ? 7 : 8;
    dcb.Parity = parity == 'E' ? EVENPARITY : parity == 'O' ? ODDPARITY : NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fAbortOnError = 1;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fOutxCtsFlow = 0;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
}

// A port that failed half-way through its set-up is closed again, so that it
// is not left locked by a handle nobody will use; hPort keeps the stale value.
HANDLE giveUp() {
    CloseHandle(hPort);
    return nullptr;
}

}  // namespace

HANDLE openPort(int portNumber, int baudRate, int parity, int dataBits) {
    hPort = CreateFileA(devicePath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hPort == INVALID_HANDLE_VALUE || hPort == nullptr) {
        printf("serial port COM%d connect fail %s error %d\n\r", portNumber, devicePath, int(GetLastError()));
        return nullptr;
    }
    if (!SetupComm(hPort, 128, 128)) {
        printf("serial port COM%d SetupComm fail  %d\n\r", portNumber, int(GetLastError()));
        return giveUp();
    }
    DCB dcb;
    if (!GetCommState(hPort, &dcb)) {
        printf("serial port COM%d  GetCommState fail  %d\n\r", portNumber, int(GetLastError()));
        return giveUp();
    }
    setLine(dcb, baudRate, parity, dataBits);
    if (!SetCommState(hPort, &dcb)) {
        printf("serial port COM%d  SetCommState fail  %d\n\r", portNumber, int(GetLastError()));
        return giveUp();
    }
    COMMTIMEOUTS timeouts;
    GetCommTimeouts(hPort, &timeouts);
    setExchangeTimeouts(timeouts);
    if (!SetCommTimeouts(hPort, &timeouts)) {
        printf("serial port COM%d SetCommTimeouts fail  %d\n\r", portNumber, int(GetLastError()));
        return giveUp();
    }
    printf(" serial port COM%d connect OK \n\r", portNumber);
    return hPort;
}

void closePort(int) { CloseHandle(hPort); }

}  // namespace bc
