// Tells when the last program that had the bench's terminal open has closed
// it. A pseudo-terminal whose other side the bench holds open shows no
// hang-up when a client goes, but inotify reports every open and close of
// its device file. The bench's own hold was taken before the watch began and
// is not counted. Two opens (or two closes) in a row that the bench has not
// yet taken are told to it as one: with several programs holding the
// terminal at once (which the tool's exclusive open refuses), a close may
// be taken for the last one's.
#pragma once

#include <string>

namespace bc::sim {

class ClientWatch {
public:
    ClientWatch() = default;
    ~ClientWatch();
    ClientWatch(const ClientWatch&) = delete;
    ClientWatch& operator=(const ClientWatch&) = delete;

    // Watches the device file at `path`; false when the system cannot (the
    // bench then serves without noticing closes).
    bool watch(const std::string& path);

    // Readable when opens or closes have been reported; -1 when not watching.
    int fd() const { return fd_; }

    // Takes the opens and closes reported so far, in order; true when the
    // count of programs that have the terminal open fell to none among them.
    bool lastClientClosed();

private:
    int fd_ = -1;
    int clients_ = 0;
};

}  // namespace bc::sim
