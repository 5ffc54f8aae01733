// benchcom-sim --replay FILE: the devices of a BENCHCOM_TRACE recording,
// answering whatever program talks to the bench's terminal or network port.
// Each write the recording has is answered, once the client has sent all of
// its bytes, with what the recording received after it, as long after it as
// at the bench. The first byte that differs from the recording (or goes past
// its end) is named on standard error, and from then on nothing answers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ports/trace_reader.h"
#include "sim/sim_port.h"

namespace bc::sim {

class ReplayPeer : public Peer {
public:
    // `name` is the trace's file as given, for the message.
    ReplayPeer(std::string name, const ports::Trace& trace, std::FILE* messages = stderr);

    // What the recording received before its first write, due from `now`.
    void start(int64_t now, SimPort& port);
    void receive(const uint8_t* bytes, size_t count, int64_t now, SimPort& port) override;

    bool diverged() const { return diverged_; }

private:
    struct Reply {
        std::vector<uint8_t> bytes;
        int64_t afterMs;  // after the write it answers
    };
    struct Exchange {
        std::vector<uint8_t> sent;  // what the client must send (empty: the replies before any write)
        int line = 0;
        std::vector<Reply> replies;
    };
    void answer(const Exchange& x, int64_t now, SimPort& port);
    void diverge(const std::string& recording, uint8_t got);

    std::string name_;
    std::FILE* messages_;
    std::vector<Exchange> exchanges_;
    int endLine_;
    size_t at_ = 1;       // the exchange whose bytes come next
    size_t matched_ = 0;  // of them
    bool diverged_ = false;
};

}  // namespace bc::sim
