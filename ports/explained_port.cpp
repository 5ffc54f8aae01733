#include "ports/explained_port.h"

#include <cstdio>

#include "platform/error_text.h"
#include "platform/program_name.h"
#include "ports/port_choice.h"

namespace bc::ports {

namespace {

class ExplainedPort final : public Port {
public:
    ExplainedPort(std::unique_ptr<Port> inner, std::string device) : in_(std::move(inner)), device_(std::move(device)) {
        timeouts = in_->timeouts;
    }

    DWORD setupComm(DWORD in, DWORD out) override { return setUp("SetupComm", in_->setupComm(in, out)); }
    DWORD getState(DCB& dcb) override { return setUp("GetCommState", in_->getState(dcb)); }
    DWORD setState(const DCB& dcb) override { return setUp("SetCommState", in_->setState(dcb)); }
    DWORD setTimeouts(const COMMTIMEOUTS& t) override {
        const DWORD e = setUp("SetCommTimeouts", in_->setTimeouts(t));
        timeouts = in_->timeouts;
        return e;
    }
    DWORD escape(DWORD func) override { return inUse(in_->escape(func)); }
    DWORD modemStatus(DWORD& status) override { return inUse(in_->modemStatus(status)); }
    DWORD purge(DWORD flags) override { return inUse(in_->purge(flags)); }
    DWORD clearError(DWORD& errors, COMSTAT& stat) override { return inUse(in_->clearError(errors, stat)); }
    DWORD write(const uint8_t* bytes, DWORD count, DWORD& written) override {
        return inUse(in_->write(bytes, count, written));
    }
    DWORD read(uint8_t* into, DWORD count, DWORD& got) override { return inUse(in_->read(into, count, got)); }
    std::string failureReason() override { return in_->failureReason(); }
    void release() override { in_->release(); }

private:
    DWORD setUp(const char* call, DWORD error) {
        if (!error || done_) return error;
        done_ = true;
        const std::string why = in_->failureReason();
        sayCannotOpen(device_, std::string(call) + " failed: " + (why.empty() ? errorText(error) : why));
        return error;
    }
    // The port is in use: later failures are the routines' own.
    DWORD inUse(DWORD error) {
        done_ = true;
        return error;
    }

    std::unique_ptr<Port> in_;
    std::string device_;
    bool done_ = false;
};

}  // namespace

// What the line quotes (a value from the environment, a server's words) is
// escaped once more as a last guard: it must not drive the terminal.
void sayCannotOpen(const std::string& device, const std::string& reason) {
    std::fprintf(stderr,
                 "%s: cannot open %s: %s. Choose the port with BENCHCOM_PORT (benchcom-run --list-ports "
                 "lists this machine's serial ports).\n",
                 programName().c_str(), escapedText(device, false).c_str(), escapedText(reason, false).c_str());
    std::fflush(stderr);
}

std::unique_ptr<Port> explainedPort(std::unique_ptr<Port> port, const std::string& device) {
    return std::make_unique<ExplainedPort>(std::move(port), device);
}

}  // namespace bc::ports
