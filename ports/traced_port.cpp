// Any port, with each call written to the port trace in words: what was
// asked, what the device did, and every failure with its code and reason.
#include "ports/traced_port.h"

#include "ports/trace_words.h"

namespace bc::ports {

namespace {

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
    DWORD escape(DWORD func) override { return said("EscapeCommFunction " + escapeWords(func), in_->escape(func)); }
    DWORD modemStatus(DWORD& status) override {
        DWORD e = in_->modemStatus(status);
        return said("GetCommModemStatus" + (e ? std::string() : " " + modemWords(status)), e);
    }
    DWORD purge(DWORD flags) override { return said("PurgeComm" + purgeWords(flags), in_->purge(flags)); }
    DWORD clearError(DWORD& errors, COMSTAT& stat) override {
        DWORD e = in_->clearError(errors, stat);
        return said("ClearCommError" + (e ? std::string() : " " + queueWords(errors, stat)), e);
    }
    std::string failureReason() override { return in_->failureReason(); }

    DWORD write(const uint8_t* bytes, DWORD count, DWORD& written) override {
        trace_.markTime();
        DWORD e = in_->write(bytes, count, written);
        // What was written and how it failed, both when a write fails part-way.
        std::string note;
        if (written < count && (written > 0 || !e))
            note = "(" + std::to_string(written) + " of " + std::to_string(count) + " written)";
        if (e) note += (note.empty() ? "" : " ") + std::string("WriteFile") + failureWords(e);
        trace_.bytes('>', bytes, count, note);
        return e;
    }

    DWORD read(uint8_t* into, DWORD count, DWORD& got) override {
        DWORD e = in_->read(into, count, got);
        const std::string part = "(" + std::to_string(got) + " of " + std::to_string(count) + ")";
        // The bytes a failed read still took are the program's as much as
        // those of a read that succeeded.
        if (e && got > 0) trace_.bytes('<', into, got, part + " ReadFile" + failureWords(e));
        if (e) return got > 0 ? e : said("ReadFile of " + std::to_string(count) + " bytes", e);
        if (got == 0 && count > 0)
            trace_.event("ReadFile of " + std::to_string(count) + " bytes: nothing came");
        else if (got > 0)
            trace_.bytes('<', into, got, got < count ? part : "");
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
        trace_.event(error ? words + failureWords(error) : words);
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
