// A serial device of this machine on Windows: the serial driver itself, with
// its own time-out rules, reached through kernel32.
#include "ports/local_port.h"

#include "platform/error_text.h"
#include "platform/windows/kernel32.h"

namespace bc::ports {

namespace {

DWORD outcome(bool ok) { return ok ? ERROR_SUCCESS : DWORD(k32::lastError()); }

class LocalPort final : public Port {
public:
    explicit LocalPort(void* handle) : h_(handle) {}
    ~LocalPort() override { k32::closeHandle(h_); }

    DWORD setupComm(DWORD in, DWORD out) override { return outcome(k32::setupComm(h_, in, out)); }
    DWORD getState(DCB& dcb) override { return outcome(k32::getCommState(h_, &dcb)); }
    DWORD setState(const DCB& dcb) override { return outcome(k32::setCommState(h_, &dcb)); }
    DWORD setTimeouts(const COMMTIMEOUTS& t) override {
        DWORD e = outcome(k32::setCommTimeouts(h_, &t));
        if (!e) timeouts = t;
        return e;
    }
    DWORD escape(DWORD func) override { return outcome(k32::escapeCommFunction(h_, func)); }
    DWORD modemStatus(DWORD& status) override {
        uint32_t s = 0;
        DWORD e = outcome(k32::getCommModemStatus(h_, s));
        status = s;
        return e;
    }
    DWORD purge(DWORD flags) override { return outcome(k32::purgeComm(h_, flags)); }
    DWORD clearError(DWORD& errors, COMSTAT& stat) override {
        uint32_t e = 0;
        DWORD result = outcome(k32::clearCommError(h_, e, &stat));
        errors = e;
        return result;
    }
    DWORD write(const uint8_t* bytes, DWORD count, DWORD& written) override {
        uint32_t n = 0;
        DWORD e = outcome(k32::writeFile(h_, bytes, count, n));
        written = n;
        return e;
    }
    DWORD read(uint8_t* into, DWORD count, DWORD& got) override {
        uint32_t n = 0;
        DWORD e = outcome(k32::readFile(h_, into, count, n));
        got = n;
        return e;
    }
    // Windows releases the exclusive open with the handle.
    void release() override {}

private:
    void* h_;
};

}  // namespace

std::unique_ptr<Port> openLocalPort(const std::string& device, OpenError& error) {
    void* h = k32::openComm(device.c_str());
    if (!h) {
        error.code = k32::lastError();
        error.reason = errorText(error.code);
        return nullptr;
    }
    // Wine opens a COM name whose device is missing and fails only at the
    // first serial call; Windows fails the open. Ask for the line settings
    // once, so that the open fails here on both.
    DCB probe;
    if (!k32::getCommState(h, &probe)) {
        error.code = k32::lastError();
        error.reason = "no serial device answers there (" + errorText(error.code) + ")";
        k32::closeHandle(h);
        return nullptr;
    }
    // Windows' serial driver opens with empty queues; Wine's port is a
    // terminal of the system below, which keeps what came before the open.
    // Emptying them here makes both alike.
    k32::purgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR);
    error = {};
    return std::make_unique<LocalPort>(h);
}

}  // namespace bc::ports
