#include "platform/posix/device_path.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace bc::posix {

namespace {

// The port number of "\\.\COMn" or "COMn", or 0 when the path is not one.
int comNumber(const char* path) {
    if (std::strncmp(path, "\\\\.\\", 4) == 0) path += 4;
    if (std::strlen(path) < 4) return 0;
    for (int i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(path[i])) != "COM"[i]) return 0;
    int n = 0;
    for (const char* p = path + 3; *p; ++p) {
        if (!std::isdigit(static_cast<unsigned char>(*p)) || n > 999) return 0;
        n = n * 10 + (*p - '0');
    }
    return n;
}

}  // namespace

std::string devicePathFor(const char* win32Path) {
    int n = comNumber(win32Path);
    if (n == 0) return win32Path;
    const char* configured = std::getenv("BENCHCOM_PORT");
    if (n == 3 && configured && *configured) return configured;
    return "/dev/ttyS" + std::to_string(n - 1);
}

}  // namespace bc::posix
