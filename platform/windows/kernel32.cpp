#include "platform/windows/kernel32.h"

#include <windows.h>

#include <csignal>

namespace bc::k32 {

static_assert(sizeof(DCB) == 28 && sizeof(COMMTIMEOUTS) == 20 && sizeof(COMSTAT) == 12,
              "the layouts win32_api.h copies");

void* openComm(const char* path) {
    HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

bool closeHandle(void* h) { return CloseHandle(h); }
uint32_t lastError() { return GetLastError(); }

bool setupComm(void* h, uint32_t in, uint32_t out) { return SetupComm(h, in, out); }
bool getCommState(void* h, void* dcb) { return GetCommState(h, static_cast<DCB*>(dcb)); }
bool setCommState(void* h, const void* dcb) {
    DCB copy = *static_cast<const DCB*>(dcb);
    return SetCommState(h, &copy);
}
bool setCommTimeouts(void* h, const void* timeouts) {
    COMMTIMEOUTS copy = *static_cast<const COMMTIMEOUTS*>(timeouts);
    return SetCommTimeouts(h, &copy);
}

bool readFile(void* h, void* into, uint32_t count, uint32_t& got) {
    DWORD n = 0;
    BOOL ok = ReadFile(h, into, count, &n, nullptr);
    got = n;
    return ok;
}

bool writeFile(void* h, const void* bytes, uint32_t count, uint32_t& written) {
    DWORD n = 0;
    BOOL ok = WriteFile(h, bytes, count, &n, nullptr);
    written = n;
    return ok;
}

bool escapeCommFunction(void* h, uint32_t func) { return EscapeCommFunction(h, func); }

bool getCommModemStatus(void* h, uint32_t& status) {
    DWORD s = 0;
    BOOL ok = GetCommModemStatus(h, &s);
    status = s;
    return ok;
}

bool purgeComm(void* h, uint32_t flags) { return PurgeComm(h, flags); }

bool clearCommError(void* h, uint32_t& errors, void* stat) {
    DWORD e = 0;
    BOOL ok = ClearCommError(h, &e, static_cast<COMSTAT*>(stat));
    errors = e;
    return ok;
}

std::string errorText(uint32_t code) {
    char text[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                             sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == ' ' || text[n - 1] == '.')) --n;
    return n ? std::string(text, n) : "error " + std::to_string(code);
}

void sleepMs(unsigned long ms) { Sleep(ms); }

namespace {

void (*g_handler)(int) = nullptr;

BOOL WINAPI onControl(DWORD event) {
    if (!g_handler) return FALSE;
    const bool interrupt = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
    g_handler(interrupt ? SIGINT : SIGTERM);
    // The main thread ends the process at its next wait. When the console
    // closes, Windows ends the process as soon as this returns: give the
    // main thread the time to get there first.
    if (!interrupt) Sleep(5000);
    return TRUE;
}

}  // namespace

void onConsoleInterrupt(void (*handler)(int)) {
    g_handler = handler;
    SetConsoleCtrlHandler(onControl, TRUE);
}

namespace {

VOID CALLBACK onTimer(PVOID callback, BOOLEAN) { reinterpret_cast<void (*)()>(callback)(); }

}  // namespace

void callAfter(long long ms, void (*callback)()) {
    HANDLE timer = nullptr;
    const DWORD due = ms > 0xFFFFFFF0LL ? 0xFFFFFFF0UL : DWORD(ms);
    CreateTimerQueueTimer(&timer, nullptr, onTimer, reinterpret_cast<PVOID>(callback), due, 0, WT_EXECUTEONLYONCE);
}

bool isConsole(int stream) {
    const DWORD which[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    DWORD mode = 0;
    return stream >= 0 && stream < 3 && GetConsoleMode(GetStdHandle(which[stream]), &mode);
}

std::string programName() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, n);
    name = name.substr(name.find_last_of("\\/") + 1);
    if (name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".exe") == 0) name.resize(name.size() - 4);
    return name;
}

uint32_t processId() { return GetCurrentProcessId(); }

FileKind fileKind(const char* path) {
    const DWORD a = GetFileAttributesA(path);
    if (a == INVALID_FILE_ATTRIBUTES) return FileKind::none;
    if (a & FILE_ATTRIBUTE_DIRECTORY) return FileKind::directory;
    return (a & FILE_ATTRIBUTE_READONLY) ? FileKind::readOnly : FileKind::file;
}

bool replaceFile(const char* from, const char* to) { return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING); }

}  // namespace bc::k32
