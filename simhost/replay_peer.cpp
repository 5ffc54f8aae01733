#include "simhost/replay_peer.h"

namespace bc::sim {

using ports::CallKind;

ReplayPeer::ReplayPeer(std::string name, const ports::Trace& trace, std::FILE* messages)
    : name_(std::move(name)), messages_(messages), exchanges_(1), endLine_(trace.lines + 1) {
    int64_t writeUs = 0;
    for (const ports::TraceEntry& e : trace.entries) {
        if (e.kind == CallKind::open && exchanges_.size() == 1) writeUs = e.us;
        // Only what a write got onto the line is on the line.
        if (e.kind == CallKind::write && e.done > 0) {
            exchanges_.push_back({{e.bytes.begin(), e.bytes.begin() + e.done}, e.line, {}});
            writeUs = e.us;
        }
        if (e.kind == CallKind::read && e.done > 0)
            exchanges_.back().replies.push_back(
                {{e.bytes.begin(), e.bytes.begin() + e.done}, (e.us > writeUs ? e.us - writeUs : 0) / 1000});
    }
}

void ReplayPeer::answer(const Exchange& x, int64_t now, SimPort& port) {
    for (const Reply& r : x.replies) port.send(r.bytes.data(), r.bytes.size(), now + r.afterMs);
}

void ReplayPeer::start(int64_t now, SimPort& port) { answer(exchanges_[0], now, port); }

void ReplayPeer::diverge(const std::string& recording, uint8_t got) {
    diverged_ = true;
    std::fprintf(messages_, "benchcom-sim: replay of %s diverged at line %d: the recording %s, the client sent %02x\n",
                 name_.c_str(), at_ < exchanges_.size() ? exchanges_[at_].line : endLine_, recording.c_str(),
                 unsigned(got));
    std::fflush(messages_);
}

void ReplayPeer::receive(const uint8_t* bytes, size_t count, int64_t now, SimPort& port) {
    for (size_t i = 0; i < count && !diverged_; ++i) {
        if (at_ >= exchanges_.size()) return diverge("has ended there", bytes[i]);
        const Exchange& x = exchanges_[at_];
        if (x.sent[matched_] != bytes[i]) {
            char want[64];
            std::snprintf(want, sizeof want, "sends %02x as byte %zu of %zu there", unsigned(x.sent[matched_]),
                          matched_ + 1, x.sent.size());
            return diverge(want, bytes[i]);
        }
        if (++matched_ < x.sent.size()) continue;
        answer(x, now, port);
        ++at_;
        matched_ = 0;
    }
}

}  // namespace bc::sim
