// Wall and processor time for the measurements, in nanoseconds.
#pragma once

#include <sys/resource.h>
#include <time.h>

#include <cstdint>

#include "platform/monotonic.h"

namespace bc::benchmarks {

inline int64_t nowNs() { return monotonicNs(); }

inline double msBetween(int64_t fromNs, int64_t toNs) { return double(toNs - fromNs) / 1e6; }

// Processor time (user and system) the calling thread has used so far.
inline int64_t threadCpuNs() {
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    auto ns = [](const timeval& t) { return int64_t(t.tv_sec) * 1000000000 + int64_t(t.tv_usec) * 1000; };
    return ns(u.ru_utime) + ns(u.ru_stime);
}

// The same to the nanosecond: getrusage's counts may move in whole
// scheduler ticks, too coarse for a few milliseconds of work.
inline int64_t threadCpuNsFine() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

inline void sleepMs(int ms) {
    timespec t{ms / 1000, long(ms % 1000) * 1000000L};
    while (nanosleep(&t, &t) != 0) {}
}

}  // namespace bc::benchmarks
