#include "platform/monotonic.h"

#include <chrono>

namespace bc {

int64_t monotonicUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace bc
