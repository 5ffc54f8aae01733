// Any port, with each call written to the port trace in words: what was
// asked, what the device did, and every failure with its code and reason.
#include "ports/traced_port.h"

#include "platform/error_text.h"

namespace bc::ports {

namespace {

std::string failure(DWORD code) { return ": failed, error " + std::to_string(code) + " (" + errorText(code) + ")"; }

const char* escapeName(DWORD func) {
    static const char* const names[] = {"?",      "SETXOFF", "SETXON",   "SETRTS",   "CLRRTS",
                                        "SETDTR", "CLRDTR",  "RESETDEV", "SETBREAK", "CLRBREAK"};
    return func < sizeof names / sizeof names[0] ? names[func] : "?";
}

std::string modemWords(DWORD s) {
    std::string w;
    if (s & MS_CTS_ON) w += " CTS";
    if (s & MS_DSR_ON) w += " DSR";
    if (s & MS_RING_ON) w += " RING";
    if (s & MS_RLSD_ON) w += " RLSD";
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", unsigned(s));
    return hex + (w.empty() ? std::string(" (no line up)") : " (" + w.substr(1) + ")");
}

std::string purgeWords(DWORD flags) {
    std::string w;
    if (flags & PURGE_TXABORT) w += " TXABORT";
    if (flags & PURGE_RXABORT) w += " RXABORT";
    if (flags & PURGE_TXCLEAR) w += " TXCLEAR";
    if (flags & PURGE_RXCLEAR) w += " RXCLEAR";
    return w.empty() ? " (nothing)" : w;
}

std::string timeoutWords(const COMMTIMEOUTS& t) {
    auto ms = [](DWORD v) { return std::to_string(v) + " ms"; };
    return "read interval " + (t.ReadIntervalTimeout == MAXDWORD ? "MAXDWORD" : ms(t.ReadIntervalTimeout)) +
           ", read total " + ms(t.ReadTotalTimeoutMultiplier) + "/byte + " + ms(t.ReadTotalTimeoutConstant) +
           ", write total " + ms(t.WriteTotalTimeoutMultiplier) + "/byte + " + ms(t.WriteTotalTimeoutConstant);
}

class TracedPort final : public Port {
public:
    TracedPort(std::unique_ptr<Port> inner, PortTrace& trace) : in_(std::move(inner)), trace_(trace) {}
    ~TracedPort() override { release(); }

    DWORD setupComm(DWORD inQueue, DWORD outQueue) override {
        return said("SetupComm in " + std::to_string(inQueue) + ", out " + std::to_string(outQueue),
                    in_->setupComm(inQueue, outQueue));
    }
    DWORD getState(DCB& dcb) override {
        DWORD e = in_->getState(dcb);
        return said("GetCommState" + (e ? std::string() : " " + describeDcb(dcb)), e);
    }
    DWORD setState(const DCB& dcb) override { return said("SetCommState " + describeDcb(dcb), in_->setState(dcb)); }
    DWORD setTimeouts(const COMMTIMEOUTS& t) override {
        DWORD e = in_->setTimeouts(t);
        timeouts = in_->timeouts;
        return said("SetCommTimeouts " + timeoutWords(t), e);
    }
    DWORD escape(DWORD func) override {
        return said(std::string("EscapeCommFunction ") + escapeName(func), in_->escape(func));
    }
    DWORD modemStatus(DWORD& status) override {
        DWORD e = in_->modemStatus(status);
        return said("GetCommModemStatus" + (e ? std::string() : " " + modemWords(status)), e);
    }
    DWORD purge(DWORD flags) override { return said("PurgeComm" + purgeWords(flags), in_->purge(flags)); }
    std::string failureReason() override { return in_->failureReason(); }

    DWORD write(const uint8_t* bytes, DWORD count, DWORD& written) override {
        trace_.markTime();
        DWORD e = in_->write(bytes, count, written);
        std::string note;
        if (e) note = "WriteFile" + failure(e);
        if (!e && written < count) note = "(" + std::to_string(written) + " of " + std::to_string(count) + " written)";
        trace_.bytes('>', bytes, count, note);
        return e;
    }

    DWORD read(uint8_t* into, DWORD count, DWORD& got) override {
        DWORD e = in_->read(into, count, got);
        if (e) return said("ReadFile of " + std::to_string(count) + " bytes", e);
        if (got == 0 && count > 0)
            trace_.event("ReadFile of " + std::to_string(count) + " bytes: nothing came");
        else if (got > 0)
            trace_.bytes('<', into, got,
                         got < count ? "(" + std::to_string(got) + " of " + std::to_string(count) + ")" : "");
        return e;
    }

    void release() override {
        if (released_) return;
        released_ = true;
        in_->release();
        trace_.event("close");
        trace_.flush();
    }

private:
    DWORD said(const std::string& words, DWORD error) {
        trace_.event(error ? words + failure(error) : words);
        return error;
    }

    std::unique_ptr<Port> in_;
    PortTrace& trace_;
    bool released_ = false;
};

}  // namespace

std::unique_ptr<Port> tracedPort(std::unique_ptr<Port> port, PortTrace& trace) {
    return std::make_unique<TracedPort>(std::move(port), trace);
}

}  // namespace bc::ports
