#include "net/telnet.h"

namespace bc::net::telnet {

size_t Decoder::feed(const uint8_t* bytes, size_t count, uint8_t* data, Sink& sink) {
    size_t& n = produced_;
    n = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = bytes[i];
        switch (state_) {
        case State::data:
            if (b == IAC)
                state_ = State::command;
            else
                data[n++] = b;
            break;
        case State::command:
            state_ = State::data;
            if (b == IAC)
                data[n++] = IAC;
            else if (b >= WILL)
                verb_ = b, state_ = State::verb;
            else if (b == SB)
                state_ = State::subOption;
            // Anything else (NOP, GA, ...) carries nothing for a serial line.
            break;
        case State::verb:
            state_ = State::data;
            sink.negotiation(verb_, b);
            break;
        case State::subOption:
            option_ = b;
            size_ = 0;
            overlong_ = false;
            state_ = State::sub;
            break;
        case State::sub:
            if (b == IAC)
                state_ = State::subCommand;
            else if (size_ < kMaxPayload)
                payload_[size_++] = b;
            else
                overlong_ = true;
            break;
        case State::subCommand:
            if (b == IAC) {
                state_ = State::sub;
                if (size_ < kMaxPayload)
                    payload_[size_++] = IAC;
                else
                    overlong_ = true;
            } else if (b == SE) {
                state_ = State::data;
                if (!overlong_) sink.subnegotiation(option_, payload_, size_);
            } else {
                // IAC and anything but IAC or SE inside a subnegotiation is a
                // broken server; end the subnegotiation unseen and read the
                // byte as the command it would be outside one.
                state_ = State::command;
                --i;
            }
            break;
        }
    }
    return n;
}

void Options::accept(uint8_t option, bool ourSide, bool peerSide) {
    usOk_[option] = ourSide;
    himOk_[option] = peerSide;
}

void Options::ask(uint8_t option, bool ourSide, std::string& out) {
    (ourSide ? usAsked_ : himAsked_)[option] = true;
    appendNegotiation(ourSide ? WILL : DO, option, out);
}

void Options::answer(uint8_t verb, uint8_t option, std::string& out) {
    const bool ourSide = verb == DO || verb == DONT;
    const bool wants = verb == DO || verb == WILL;
    bool* on = ourSide ? usOn_ : himOn_;
    bool* asked = ourSide ? usAsked_ : himAsked_;
    const bool ok = (ourSide ? usOk_ : himOk_)[option];
    const uint8_t yes = ourSide ? WILL : DO, no = ourSide ? WONT : DONT;
    if (wants && !ok) {
        appendNegotiation(no, option, out);
    } else if (wants) {
        if (!on[option] && !asked[option]) appendNegotiation(yes, option, out);
        on[option] = true;
    } else if (on[option]) {
        appendNegotiation(no, option, out);
        on[option] = false;
    }
    asked[option] = false;
}

void appendData(const uint8_t* bytes, size_t count, std::string& out) {
    for (size_t i = 0; i < count; ++i) {
        out += char(bytes[i]);
        if (bytes[i] == IAC) out += char(IAC);
    }
}

void appendNegotiation(uint8_t verb, uint8_t option, std::string& out) {
    out += char(IAC);
    out += char(verb);
    out += char(option);
}

void appendComPort(uint8_t command, const uint8_t* value, size_t size, std::string& out) {
    out += char(IAC);
    out += char(SB);
    out += char(OPT_COM_PORT);
    appendData(&command, 1, out);
    appendData(value, size, out);
    out += char(IAC);
    out += char(SE);
}

void appendComPort(uint8_t command, uint8_t value, std::string& out) { appendComPort(command, &value, 1, out); }

void appendComPort32(uint8_t command, uint32_t value, std::string& out) {
    const uint8_t be[4] = {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
    appendComPort(command, be, 4, out);
}

uint32_t read32(const uint8_t* b) { return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3]; }

}  // namespace bc::net::telnet
