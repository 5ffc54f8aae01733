// The floor: the least a program can do to talk over the line. Raw termios,
// blocking reads, no time-out bookkeeping, no tracing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace bc::benchmarks {

class RawLine {
public:
    RawLine() = default;
    ~RawLine();
    RawLine(const RawLine&) = delete;
    RawLine& operator=(const RawLine&) = delete;

    bool open(const std::string& path);
    // Raw 8N1 at 19200, reads that block for at least one byte. Called again
    // before each use, since another client of the same terminal may have
    // changed its settings meanwhile.
    void configure();

    int fd() const { return fd_; }

    // One adapter frame, two bytes out and one back; nanoseconds, or -1 when
    // no reply came.
    int64_t roundTrip(uint8_t command, uint8_t value);
    // The same with the wait for the reply bounded in time (ppoll, then
    // read), as any client with a read time-out must wait.
    int64_t roundTripTimed(uint8_t command, uint8_t value);

    struct Reply {
        int64_t lastByteNs = -1;  // from just before the write to the last byte read
        size_t bytes = 0;
    };
    // Sends `request` and reads until `count` bytes have come or nothing has
    // come for `silenceMs`.
    Reply exchange(std::string_view request, size_t count, int silenceMs);

private:
    int fd_ = -1;
};

}  // namespace bc::benchmarks
