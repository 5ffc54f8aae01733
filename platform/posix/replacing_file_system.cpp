// The temporary file and the rename on POSIX.
#include "platform/replacing_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/monotonic.h"

namespace bc {

namespace {

// Whether an existing file could be opened for writing, as fopen "w+"
// would (without emptying it).
bool writable(const char* name, int& error) {
    const int fd = ::open(name, O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    ::close(fd);
    return true;
}

// DIR/.NAME.XXXXXX, created exclusively: a file or link of that name is
// never opened, let alone followed. The mode is the C library's for new
// files, as fopen gives.
std::FILE* createTemp(const char* name, std::string& temp, int& error) {
    const char* slash = std::strrchr(name, '/');
    const char* base = slash ? slash + 1 : name;
    unsigned state = unsigned(getpid()) ^ unsigned(monotonicUs());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = tempNameBeside(name, base, state);
        if (std::FILE* f = std::fopen(temp.c_str(), "w+x")) return f;
        if (errno != EEXIST) break;
    }
    error = errno;
    temp.clear();
    return nullptr;
}

}  // namespace

std::FILE* createReplacement(const char* name, std::string& temp, int& error) {
    temp.clear();
    struct stat st {};
    const bool exists = ::lstat(name, &st) == 0;
    if (!exists && errno != ENOENT) {
        error = errno;
        return nullptr;
    }
    const bool regular = exists && S_ISREG(st.st_mode);
    // A directory fails as fopen fails on it; a device or FIFO is written.
    if (exists && !regular && !S_ISLNK(st.st_mode)) return openInPlace(name, error);
    if (regular && !writable(name, error)) return nullptr;
    std::FILE* f = createTemp(name, temp, error);
    if (!f && regular) return openInPlace(name, error);
    // The new file keeps the old one's permissions.
    if (f && regular) fchmod(fileno(f), st.st_mode & 07777);
    return f;
}

int replaceWith(const std::string& temp, const char* name) { return std::rename(temp.c_str(), name) == 0 ? 0 : errno; }

}  // namespace bc
