#include "net/network_port.h"

#include <algorithm>

#include "net/telnet.h"
#include "platform/monotonic.h"

namespace bc::net {

namespace {
// What is received and not yet read is held up to this much; beyond it the
// server's bytes wait in TCP, whose flow control holds back the sender.
constexpr size_t kHeld = 64 * 1024;
constexpr size_t kPiece = 4096;
}  // namespace

NetworkPort::NetworkPort(std::unique_ptr<net::TcpLink> link, bool telnet) : link_(std::move(link)), telnet_(telnet) {
    inbound_.reserve(kHeld);
}

int64_t NetworkPort::nowUs() { return monotonicUs(); }

std::string NetworkPort::failureReason() {
    return givenUp_.empty() ? "" : "the server " + givenUp_ + ": the connection was given up";
}

void NetworkPort::takePiece(size_t room) {
    uint8_t raw[kPiece];
    size_t got = 0;
    if (!link_->receive(raw, room, got)) lost_ = true;
    const size_t at = inbound_.size();
    inbound_.resize(at + got);
    inbound_.resize(at + decode(raw, got, inbound_.data() + at));
}

DWORD NetworkPort::pump(int64_t timeoutUs) {
    if (lost_) return ERROR_DEVICE_NOT_CONNECTED;
    flushUnsent(0);
    if (timeoutUs != 0 && !lost_) {
        bool readable = false;
        if (!link_->waitReadable(timeoutUs, readable)) return ERROR_GEN_FAILURE;
        if (!readable) return ERROR_SUCCESS;
    }
    if (head_ > 0 && inbound_.size() + kPiece > kHeld) {
        inbound_.erase(inbound_.begin(), inbound_.begin() + ptrdiff_t(head_));
        head_ = 0;
    }
    const size_t room = std::min(kHeld - inbound_.size(), kPiece);
    if (room > 0 && !lost_) takePiece(room);
    return ERROR_SUCCESS;
}

DWORD NetworkPort::readNow(uint8_t* into, DWORD max, DWORD& got) {
    got = 0;
    if (head_ == inbound_.size() && !lost_) pump(0);
    const size_t held = heldCount();
    got = DWORD(held < max ? held : max);
    std::copy(inbound_.begin() + ptrdiff_t(head_), inbound_.begin() + ptrdiff_t(head_ + got), into);
    head_ += got;
    if (head_ == inbound_.size()) dropReceived();
    return got == 0 && lost_ && max > 0 ? ERROR_DEVICE_NOT_CONNECTED : ERROR_SUCCESS;
}

DWORD NetworkPort::waitReadable(int64_t timeoutUs, bool& readable) {
    readable = false;
    const int64_t deadline = timeoutUs < 0 ? -1 : monotonicUs() + timeoutUs;
    // What the server sends may be commands only: keep waiting until data
    // has come or the time is up.
    while (head_ == inbound_.size()) {
        const int64_t left = deadline < 0 ? -1 : deadline - monotonicUs();
        if (deadline >= 0 && left <= 0) return lost_ ? ERROR_DEVICE_NOT_CONNECTED : ERROR_SUCCESS;
        if (DWORD e = pump(left)) return e;
    }
    readable = true;
    return ERROR_SUCCESS;
}

void NetworkPort::dropHeld(size_t count) {
    head_ += count < heldCount() ? count : heldCount();
    if (head_ == inbound_.size()) dropReceived();
}

DWORD NetworkPort::clearError(DWORD& errors, COMSTAT& stat) {
    if (DWORD e = pump(0)) return e;
    errors = 0;
    stat = COMSTAT{};
    stat.cbInQue = DWORD(heldCount());
    return ERROR_SUCCESS;
}

std::string NetworkPort::receivedText() {
    // A send that failed may have found the connection reset before what
    // came with it was taken; the system still holds that for reading. A
    // server that never stops sending is read no further than we hold.
    size_t taken = 0, got = 1;
    while (got > 0 && taken < kHeld && inbound_.size() + kPiece <= kHeld) {
        uint8_t raw[kPiece];
        link_->receive(raw, kPiece, got);
        taken += got;
        const size_t at = inbound_.size();
        inbound_.resize(at + got);
        inbound_.resize(at + decode(raw, got, inbound_.data() + at));
    }
    std::string text;
    for (size_t i = head_; i < inbound_.size() && text.size() < 100; ++i)
        if (inbound_[i] >= 0x20 && inbound_[i] < 0x7F) text += char(inbound_[i]);
    return text;
}

bool NetworkPort::closesWithin(int64_t timeoutUs) {
    const int64_t deadline = nowUs() + timeoutUs;
    // Once we hold all we can, the rest waits in TCP: a server that sends
    // that much is no server turning a client away.
    while (!lost_ && heldCount() < kHeld) {
        const int64_t left = deadline - nowUs();
        if (left <= 0 || pump(left)) break;
    }
    return lost_;
}

bool NetworkPort::flushUnsent(int64_t timeoutUs) {
    if (unsent_.empty() || lost_) return unsent_.empty();
    size_t sent = 0;
    if (!link_->send(reinterpret_cast<const uint8_t*>(unsent_.data()), unsent_.size(), timeoutUs, sent)) lost_ = true;
    unsent_.erase(0, sent);
    return unsent_.empty();
}

void NetworkPort::answer(const std::string& bytes) {
    if (lost_ || bytes.empty()) return;
    unsent_ += bytes;
    flushUnsent(0);
    if (unsent_.size() <= kMostUnsent) return;
    lost_ = true;
    givenUp_ = "sent requests without end and did not read the answers";
}

DWORD NetworkPort::sendBy(const std::string& bytes, int64_t deadlineUs) {
    if (lost_) return ERROR_DEVICE_NOT_CONNECTED;
    unsent_ += bytes;
    flushUnsent(std::max<int64_t>(0, deadlineUs - nowUs()));
    return lost_ ? ERROR_DEVICE_NOT_CONNECTED : ERROR_SUCCESS;
}

DWORD NetworkPort::write(const uint8_t* bytes, DWORD count, DWORD& written) {
    written = 0;
    // A server that has closed the connection has said so by now: fail the
    // write at once rather than after it has gone nowhere.
    pump(0);
    if (lost_) return ERROR_DEVICE_NOT_CONNECTED;
    out_.clear();
    if (telnet_)
        telnet::appendData(bytes, count, out_);
    else
        out_.assign(reinterpret_cast<const char*>(bytes), count);
    const COMMTIMEOUTS& t = timeouts;
    const int64_t limitUs = ports::totalTimeoutUs(t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant, count);
    const int64_t deadline = limitUs < 0 ? -1 : nowUs() + limitUs;
    auto left = [&] { return deadline < 0 ? int64_t(-1) : std::max<int64_t>(0, deadline - nowUs()); };
    // What is queued goes first; a write whose time runs out before it has
    // gone has written nothing.
    if (!flushUnsent(left())) return lost_ ? ERROR_DEVICE_NOT_CONNECTED : ERROR_SUCCESS;
    size_t sent = 0;
    const auto* encoded = reinterpret_cast<const uint8_t*>(out_.data());
    if (!link_->send(encoded, out_.size(), left(), sent)) {
        lost_ = true;
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    // A write that timed out counts the data bytes that went whole; the
    // second half of a doubled 255 is queued to go first next time, or the
    // server would read the next byte as a command.
    size_t at = 0;
    while (written < count) {
        const size_t size = telnet_ && bytes[written] == telnet::IAC ? 2 : 1;
        if (at + size > sent) {
            if (at < sent) {
                unsent_.append(out_, sent, at + size - sent);
                ++written;
            }
            break;
        }
        at += size;
        ++written;
    }
    return ERROR_SUCCESS;
}

}  // namespace bc::net
