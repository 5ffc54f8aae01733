#include "simhost/client_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>

namespace bc::sim {

ClientWatch::~ClientWatch() {
    if (fd_ >= 0) close(fd_);
}

bool ClientWatch::watch(const std::string& path) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) return false;
    if (inotify_add_watch(fd_, path.c_str(), IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) >= 0) return true;
    close(fd_);
    fd_ = -1;
    return false;
}

bool ClientWatch::lastClientClosed() {
    bool wentToNone = false;
    alignas(inotify_event) char buf[4096];
    for (;;) {
        const ssize_t n = fd_ < 0 ? -1 : read(fd_, buf, sizeof buf);
        if (n <= 0) return wentToNone;
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= n;) {
            inotify_event e;
            std::memcpy(&e, buf + at, sizeof e);
            at += ssize_t(sizeof e + e.len);
            if (e.mask & IN_OPEN) ++clients_;
            // A client that opened before the watch began closes uncounted.
            if ((e.mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) && clients_ > 0 && --clients_ == 0) wentToNone = true;
        }
    }
}

}  // namespace bc::sim
