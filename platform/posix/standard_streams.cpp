// Descriptors 0, 1 and 2 on POSIX: one that is not open is /dev/null.
#include "platform/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace bc {

void openMissingStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free number is this one, as the lower ones are open.
        const int null = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null > fd) {
            dup2(null, fd);
            close(null);
        }
    }
}

}  // namespace bc
