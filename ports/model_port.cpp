// A port whose far side is a device model behind the seam. With a virtual
// clock attached (tests) every wait moves that clock; without one (the
// simulated bench built into the program) the waits are real, timed to the
// microsecond like a real port's, while the models count whole milliseconds.
#include "ports/model_port.h"

#include <chrono>
#include <thread>

#include "platform/interrupt.h"
#include "platform/monotonic.h"
#include "ports/polled_port.h"

namespace bc::ports {

namespace {

class SeamDevicePort final : public PolledPort {
public:
    explicit SeamDevicePort(seam::SimDevice& device) : dev_(device) {}
    ~SeamDevicePort() override { release(); }

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
    DWORD purge(DWORD flags) override { return dev_.purge(flags, nowMs()); }
    DWORD clearError(DWORD& errors, COMSTAT& stat) override { return dev_.clearError(errors, stat, nowMs()); }
    DWORD write(const uint8_t* bytes, DWORD count, DWORD& written) override {
        return dev_.write(bytes, count, nowMs(), written);
    }

    int64_t nowUs() override {
        if (seam::VirtualClock* vc = seam::attachedClock()) return vc->now() * 1000;
        return monotonicUs();
    }

    DWORD readNow(uint8_t* into, DWORD max, DWORD& got) override { return dev_.read(into, max, nowMs(), got); }

    DWORD waitReadable(int64_t timeoutUs, bool& readable) override;

    void release() override {
        if (!released_) dev_.close();
        released_ = true;
    }

private:
    int64_t nowMs() { return nowUs() / 1000; }

    seam::SimDevice& dev_;
    bool released_ = false;
};

DWORD SeamDevicePort::waitReadable(int64_t timeoutUs, bool& readable) {
    // A device that has failed says so at once, as a real port's poll
    // reports a hang-up without waiting: a read of nothing tells.
    readable = false;
    DWORD none = 0;
    if (DWORD e = dev_.read(nullptr, 0, nowMs(), none)) return e;
    const int64_t now = nowUs();
    const int64_t next = dev_.nextByteAt(now / 1000);
    const int64_t nextUs = next < 0 ? -1 : (next * 1000 > now ? next * 1000 : now);
    readable = nextUs >= 0 && (timeoutUs < 0 || nextUs <= now + timeoutUs);
    // With no time limit and nothing coming, Windows would wait for ever;
    // a model that will never answer ends the read instead.
    if (timeoutUs < 0 && !readable) return ERROR_SUCCESS;
    const int64_t until = readable ? nextUs : now + timeoutUs;
    if (seam::VirtualClock* vc = seam::attachedClock()) {
        vc->advanceTo((until + 999) / 1000);
        return ERROR_SUCCESS;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(until - now));
    endIfInterrupted();
    return ERROR_SUCCESS;
}

}  // namespace

std::unique_ptr<Port> openModelPort(seam::SimDevice& device, const char* path, OpenError& error) {
    error.code = device.open(path);
    if (error.code) return nullptr;
    auto port = std::make_unique<SeamDevicePort>(device);
    // As a Windows COM port does, the port opens empty: what the device sent
    // before is not for this program.
    port->purge(PURGE_RXCLEAR | PURGE_TXCLEAR);
    return port;
}

}  // namespace bc::ports
