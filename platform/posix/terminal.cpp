#include "platform/terminal.h"

#include <sys/stat.h>
#include <unistd.h>

namespace bc {

bool isTerminal(int stream) { return isatty(stream) == 1; }

bool sameTerminal(int a, int b) {
    struct stat sa {
    }, sb{};
    return isTerminal(a) && isTerminal(b) && fstat(a, &sa) == 0 && fstat(b, &sb) == 0 && sa.st_rdev == sb.st_rdev;
}

}  // namespace bc
