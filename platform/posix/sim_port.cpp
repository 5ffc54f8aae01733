// A port whose far side is a simulated device behind the seam, timed by the
// virtual clock when one is attached.
#include <chrono>
#include <thread>

#include "platform/posix/port.h"
#include "platform/seam.h"

namespace bc::posix {

namespace {

class SimPort final : public Port {
public:
    explicit SimPort(seam::SimDevice& device) : dev_(device) {}
    ~SimPort() override { release(); }

    DWORD setupComm(DWORD in, DWORD out) override { return dev_.setupComm(in, out); }
    DWORD getState(DCB& dcb) override { return dev_.getState(dcb); }
    DWORD setState(const DCB& dcb) override { return dev_.setState(dcb); }
    DWORD setTimeouts(const COMMTIMEOUTS& t) override {
        DWORD e = dev_.setTimeouts(t);
        if (!e) timeouts = t;
        return e;
    }
    DWORD escape(DWORD func) override { return dev_.escape(func, nowMs()); }
    DWORD modemStatus(DWORD& status) override { return dev_.modemStatus(status); }
    DWORD write(const uint8_t* bytes, DWORD count, DWORD& written) override {
        return dev_.write(bytes, count, nowMs(), written);
    }

    // The device models count in whole milliseconds.
    int64_t nowUs() override { return nowMs() * 1000; }

    DWORD readNow(uint8_t* into, DWORD max, DWORD& got) override {
        return dev_.read(into, max, nowMs(), got);
    }

    DWORD waitReadable(int64_t timeoutUs, bool& readable) override {
        // A device that has failed says so at once, as a real port's poll
        // reports a hang-up without waiting: a read of nothing tells.
        readable = false;
        DWORD none = 0;
        if (DWORD e = dev_.read(nullptr, 0, nowMs(), none)) return e;
        const int64_t timeoutMs = timeoutUs < 0 ? -1 : (timeoutUs + 999) / 1000;
        int64_t now = nowMs();
        int64_t next = dev_.nextByteAt(now);
        readable = next >= 0 && (timeoutMs < 0 || next <= now + timeoutMs);
        // With no time limit and nothing coming, Windows would wait for ever;
        // a model that will never answer ends the read instead.
        if (timeoutMs < 0 && !readable) return ERROR_SUCCESS;
        int64_t until = readable ? (next > now ? next : now) : now + timeoutMs;
        if (seam::VirtualClock* vc = seam::attachedClock()) vc->advanceTo(until);
        else std::this_thread::sleep_for(std::chrono::milliseconds(until - now));
        return ERROR_SUCCESS;
    }

    void release() override {
        if (!released_) dev_.close();
        released_ = true;
    }

private:
    int64_t nowMs() {
        if (seam::VirtualClock* vc = seam::attachedClock()) return vc->now();
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    seam::SimDevice& dev_;
    bool released_ = false;
};

}  // namespace

std::unique_ptr<Port> openSimPort(seam::SimDevice& device, const char* path, DWORD& error) {
    error = device.open(path);
    if (error) return nullptr;
    return std::make_unique<SimPort>(device);
}

}  // namespace bc::posix
