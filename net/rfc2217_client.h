// The client's side of a Telnet COM Port Control session (RFC 2217), without
// the connection: which options are agreed, which answers the server still
// owes, the modem lines it last reported. The port feeds it what the server
// sends and sends what it appends; being pure, it can be fed any stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "net/telnet.h"

namespace bc::net {

class ComPortClient final : public telnet::Sink {
public:
    // Our side of the negotiation: COM-PORT-OPTION, OPT_BINARY both ways,
    // SUPPRESS-GO-AHEAD both ways.
    void start(std::string& out);

    // Decodes server bytes: data into `data` (room for `count`), anything the
    // negotiation calls for appended to `out`. Returns the data bytes, less
    // those the server had sent before it purged its receive buffer.
    size_t receive(const uint8_t* bytes, size_t count, uint8_t* data, std::string& out);

    enum class Agreement { pending, accepted, refused };
    // Whether the server has agreed to COM-PORT-OPTION.
    Agreement comPort() const { return comPort_; }

    // A command whose answer the caller then awaits (owing() turns true), or
    // one the server is known not to answer (sent, nothing owed). After a
    // batch, endBatch() adds what lets a silent server be noticed at once.
    void setting(uint8_t command, uint8_t value, std::string& out);
    void setBaudRate(uint32_t baud, std::string& out);
    // A purge the server leaves unanswered while it answers a later command
    // is given up, and later ones are sent without being awaited.
    void purge(uint8_t what, std::string& out);
    // Asks the current speed, which changes nothing.
    void askBaudRate(std::string& out);
    void endBatch(std::string& out);

    // True while an answer is owed.
    bool owing() const { return pendingCount_ > 0; }
    // The bounded wait is over: what is still owed is given up. Controls the
    // server left unanswered are not awaited again; returns true when a line
    // setting (speed, data size, parity, stop size, flow control, purge) went
    // unanswered.
    bool giveUp();
    // A setting answered with another value than asked: the server could
    // not apply it.
    struct Refusal {
        uint8_t command = 0;
        uint32_t asked = 0, took = 0;
    };
    // True once an answered setting came back with another value than asked
    // (the first such is put in `what` when given); reading clears it.
    bool takeRefusal(Refusal* what = nullptr);

    // The modem-state byte of the last NOTIFY-MODEMSTATE (0 before any).
    uint8_t modemState() const { return modem_; }

    // ---- telnet::Sink ----
    void negotiation(uint8_t verb, uint8_t option) override;
    void subnegotiation(uint8_t option, const uint8_t* payload, size_t size) override;

private:
    struct Owed {
        uint8_t command = 0;
        uint32_t value = 0;
        bool check = false;  // the answer must carry the value asked
        bool probe = false;
    };
    enum class Answers : uint8_t { unknown, yes, no };

    void owe(uint8_t command, uint32_t value, bool check, bool probe = false);
    void answered(uint8_t command, uint32_t value);
    void dropOwed(size_t i);

    telnet::Decoder decoder_;
    std::string* out_ = nullptr;  // during receive()
    Agreement comPort_ = Agreement::pending;
    telnet::Options options_;
    static constexpr size_t kMaxOwed = 32;
    Owed owed_[kMaxOwed];
    size_t pendingCount_ = 0;
    // Per group of SET-CONTROL values (flow, break, DTR, RTS): whether this
    // server answers them. ser2net does not answer DTR and RTS on a device
    // without modem lines.
    Answers controlAnswers_[4] = {};
    // Whether this server answers PURGE-DATA; one that does not, does not
    // purge either (RFC 2217 makes the command optional).
    Answers purgeAnswers_ = Answers::unknown;
    bool probeNeeded_ = false;
    bool refused_ = false;
    Refusal refusal_;
    bool rxPurgeOwed_ = false;
    size_t dropUpTo_ = 0;
    uint8_t modem_ = 0;
};

}  // namespace bc::net
