// The Win32 serial calls, on both systems. A HANDLE points at a slot of a
// small table of open ports, each of whatever kind was chosen when it was
// opened; every call sets the error that GetLastError reports.
#include <array>
#include <cstdlib>

#include "platform/error_text.h"
#include "ports/open_chosen_port.h"

namespace {

using bc::ports::Port;

thread_local DWORD g_lastError = ERROR_SUCCESS;
std::array<std::unique_ptr<Port>, 16> g_ports;

// Ports still open when the process ends give up their exclusive lock, so
// that the next program can open the device.
void releaseAll() {
    for (auto& p : g_ports)
        if (p) p->release();
}

BOOL fail(DWORD error) {
    g_lastError = error;
    return FALSE;
}

BOOL result(DWORD error) {
    g_lastError = error;
    return error ? FALSE : TRUE;
}

// Every call starts here: a system reason kept from an earlier call must not
// be taken for this one's.
Port* portOf(HANDLE h) {
    bc::forgetSystemReason();
    for (auto& p : g_ports)
        if (h == static_cast<void*>(&p) && p) return p.get();
    return nullptr;
}

HANDLE store(std::unique_ptr<Port> port) {
    static bool registered = (std::atexit(releaseAll), true);
    (void)registered;
    for (auto& p : g_ports)
        if (!p) {
            p = std::move(port);
            return static_cast<void*>(&p);
        }
    g_lastError = ERROR_TOO_MANY_OPEN_FILES;
    return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPVOID, DWORD creation, DWORD, HANDLE) {
    // Only what the serial port needs: an existing device, opened for
    // reading and writing, exclusively.
    if (!fileName || creation != OPEN_EXISTING || shareMode != 0 ||
        (desiredAccess & (GENERIC_READ | GENERIC_WRITE)) != (GENERIC_READ | GENERIC_WRITE)) {
        g_lastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    DWORD error = ERROR_SUCCESS;
    std::unique_ptr<Port> port = bc::ports::openChosenPort(fileName, error);
    if (!port) {
        g_lastError = error;
        return INVALID_HANDLE_VALUE;
    }
    g_lastError = ERROR_SUCCESS;
    return store(std::move(port));
}

BOOL CloseHandle(HANDLE h) {
    for (auto& p : g_ports)
        if (h == static_cast<void*>(&p) && p) {
            p->release();
            p.reset();
            return result(ERROR_SUCCESS);
        }
    return fail(ERROR_INVALID_HANDLE);
}

DWORD GetLastError(void) { return g_lastError; }
void SetLastError(DWORD code) { g_lastError = code; }

BOOL SetupComm(HANDLE h, DWORD inQueue, DWORD outQueue) {
    Port* p = portOf(h);
    return p ? result(p->setupComm(inQueue, outQueue)) : fail(ERROR_INVALID_HANDLE);
}

BOOL GetCommState(HANDLE h, LPDCB dcb) {
    Port* p = portOf(h);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (!dcb) return fail(ERROR_INVALID_PARAMETER);
    return result(p->getState(*dcb));
}

BOOL SetCommState(HANDLE h, LPDCB dcb) {
    Port* p = portOf(h);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (!dcb) return fail(ERROR_INVALID_PARAMETER);
    return result(p->setState(*dcb));
}

BOOL GetCommTimeouts(HANDLE h, LPCOMMTIMEOUTS timeouts) {
    Port* p = portOf(h);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (!timeouts) return fail(ERROR_INVALID_PARAMETER);
    *timeouts = p->timeouts;
    return result(ERROR_SUCCESS);
}

BOOL SetCommTimeouts(HANDLE h, LPCOMMTIMEOUTS timeouts) {
    Port* p = portOf(h);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (!timeouts) return fail(ERROR_INVALID_PARAMETER);
    return result(p->setTimeouts(*timeouts));
}

BOOL ReadFile(HANDLE h, LPVOID buffer, DWORD toRead, LPDWORD bytesRead, LPVOID) {
    if (bytesRead) *bytesRead = 0;
    Port* p = portOf(h);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (!buffer && toRead) return fail(ERROR_INVALID_PARAMETER);
    DWORD got = 0;
    DWORD e = p->read(static_cast<uint8_t*>(buffer), toRead, got);
    if (bytesRead) *bytesRead = got;
    return result(e);
}

BOOL WriteFile(HANDLE h, LPCVOID buffer, DWORD toWrite, LPDWORD bytesWritten, LPVOID) {
    if (bytesWritten) *bytesWritten = 0;
    Port* p = portOf(h);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (!buffer && toWrite) return fail(ERROR_INVALID_PARAMETER);
    DWORD written = 0;
    DWORD e = toWrite ? p->write(static_cast<const uint8_t*>(buffer), toWrite, written) : 0;
    if (bytesWritten) *bytesWritten = written;
    return result(e);
}

BOOL EscapeCommFunction(HANDLE h, DWORD func) {
    Port* p = portOf(h);
    return p ? result(p->escape(func)) : fail(ERROR_INVALID_HANDLE);
}

BOOL GetCommModemStatus(HANDLE h, LPDWORD modemStat) {
    Port* p = portOf(h);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (!modemStat) return fail(ERROR_INVALID_PARAMETER);
    DWORD status = 0;
    DWORD e = p->modemStatus(status);
    if (!e) *modemStat = status;
    return result(e);
}

BOOL PurgeComm(HANDLE h, DWORD flags) {
    Port* p = portOf(h);
    return p ? result(p->purge(flags)) : fail(ERROR_INVALID_HANDLE);
}

BOOL ClearCommError(HANDLE h, LPDWORD errors, LPCOMSTAT stat) {
    Port* p = portOf(h);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    DWORD found = 0;
    COMSTAT queues{};
    DWORD e = p->clearError(found, queues);
    if (e) return fail(e);
    if (errors) *errors = found;
    if (stat) *stat = queues;
    return result(ERROR_SUCCESS);
}
