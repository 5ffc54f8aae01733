// What the models keep of what the host did (every byte received, every
// message heard, every word latched, every line change) is there for the
// tests to read back, whole. A bench that runs for as long as anyone likes
// (benchcom-sim, the bench inside the programs) keeps only the latest part
// of each: up to a limit, past which the oldest half is dropped.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bc::sim {

// No limit: a test's record of everything.
constexpr size_t kWholeRecord = SIZE_MAX;

// Drops the oldest entries of `record` once it holds more than `limit`,
// keeping the latest half of the limit; `dropped` counts those dropped so
// far, so that a reader can tell where it had got to.
template <typename Record>
void keepLatest(Record& record, size_t limit, uint64_t& dropped) {
    if (record.size() <= limit) return;
    const size_t drop = record.size() - limit / 2;
    record.erase(record.begin(), record.begin() + ptrdiff_t(drop));
    dropped += drop;
}

}  // namespace bc::sim
