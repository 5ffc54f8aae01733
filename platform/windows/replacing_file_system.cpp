// The temporary file and the rename on Windows: the C runtime's exclusive
// create, in text mode as the captures are written, and MoveFileEx with
// replace through kernel32.h.
#include "platform/replacing_file_system.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/monotonic.h"
#include "platform/windows/kernel32.h"

namespace bc {

namespace {

std::FILE* createTemp(const char* name, std::string& temp, int& error) {
    const char* slash = std::strrchr(name, '/');
    if (const char* back = std::strrchr(name, '\\'); back && (!slash || back > slash)) slash = back;
    const char* base = slash ? slash + 1 : name;
    unsigned state = unsigned(k32::processId()) ^ unsigned(monotonicUs());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = tempNameBeside(name, base, state);
        const int fd = _open(temp.c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_TEXT | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
        if (fd >= 0) {
            if (std::FILE* f = _fdopen(fd, "w+t")) return f;
            error = errno;
            _close(fd);
            std::remove(temp.c_str());
            temp.clear();
            return nullptr;
        }
        if (errno != EEXIST) break;
    }
    error = errno;
    temp.clear();
    return nullptr;
}

}  // namespace

std::FILE* createReplacement(const char* name, std::string& temp, int& error) {
    temp.clear();
    const k32::FileKind kind = k32::fileKind(name);
    // A directory fails as fopen fails on it; a read-only file as fopen
    // would refuse to empty it.
    if (kind == k32::FileKind::directory) return openInPlace(name, error);
    if (kind == k32::FileKind::readOnly) {
        error = EACCES;
        return nullptr;
    }
    std::FILE* f = createTemp(name, temp, error);
    if (!f && kind == k32::FileKind::file) return openInPlace(name, error);
    return f;
}

int replaceWith(const std::string& temp, const char* name) {
    if (k32::replaceFile(temp.c_str(), name)) return 0;
    const uint32_t code = k32::lastError();
    // ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION (another program holds
    // the old file), ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL.
    if (code == 5 || code == 32) return EACCES;
    if (code == 112 || code == 39) return ENOSPC;
    return EIO;
}

}  // namespace bc
