// A simulated SCPI oscilloscope on the far end of the serial line. It reads
// the byte stream as the instrument would (messages end at CR, LF or CR LF;
// commands in either case, short or long mnemonics), keeps its settings,
// and answers queries: numbers as text (" 2.000e+00\n"), an identity line,
// the learn string, and an 8014-byte waveform block per memory request.
//
// It needs nothing but receive() and SimPort::send(), so it can sit behind
// the seam's harness, the bench built into a program, a pseudo-terminal or a
// network server alike.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "sim/record_limit.h"
#include "sim/scope_settings.h"
#include "sim/scope_signal.h"
#include "sim/scpi_text.h"
#include "sim/sim_port.h"

namespace bc::sim {

// Ways to make the instrument misbehave, for tests of the client.
struct ScopeFaults {
    bool silent = false;         // hears everything, answers nothing
    size_t pieceBytes = 0;       // > 0: replies go out in pieces this big...
    int64_t pieceGapMs = 0;      // ...this far apart
    size_t shortBlockBytes = 0;  // > 0: memory replies cut to this many bytes
    size_t learnPadTo = 0;       // learn string padded to at least this length
    std::string garbageBefore;   // sent ahead of every reply
    size_t queryReplyPadTo = 0;  // > 0: numeric replies padded with spaces to this length
};

class ScopeModel : public Peer {
public:
    ScopeModel();

    void receive(const uint8_t* bytes, size_t count, int64_t now, SimPort& port) override;
    bool midMessage() const override { return lines_.partial(); }

    // ---- the instrument ----
    ScopeSettings settings;
    SignalSource inputs[2];
    std::string identity = "BENCHCOM,SIM-SCOPE,SIM0001,V1.26";
    int64_t latencyMs = 2;  // from the end of a query to the first byte of its reply
    int noiseLsb = 1;
    ScopeFaults faults;
    // Exact replies for particular queries, keyed by the query as sent in
    // upper case without its terminator (":CHAN1:PROB?"); they replace the
    // instrument's own answer.
    std::map<std::string, std::string> cannedReplies;

    // ---- what it heard and did ----
    struct Heard {
        int64_t at;
        std::string message;
    };
    std::vector<Heard> heard;  // every message, when its terminator came
    size_t heardLimit = kWholeRecord;
    uint64_t heardDropped = 0;
    int resets = 0;
    int autosets = 0;
    int singles = 0;
    // The last block sent for each channel (index 0 and 1), and its samples.
    std::vector<uint8_t> lastBlock[2];
    Samples lastSamples[2]{};
    float lastSamplingPeriod[2]{};

    std::string learnString() const;
    // The error queue, oldest first, as ":SYST:ERR?" would report it.
    std::deque<std::string> errors;

private:
    void handleMessage(const std::string& message, int64_t now, SimPort& port);
    void handle(const ScpiCommand& cmd, int64_t now, SimPort& port);
    void handleCommon(const ScpiCommand& cmd, int64_t now, SimPort& port);
    bool handleSetting(const ScpiCommand& cmd, int64_t now, SimPort& port);
    bool handleAction(const ScpiCommand& cmd, int64_t now, SimPort& port);
    void reply(std::string text, int64_t now, SimPort& port);
    void replyNumber(double value, int64_t now, SimPort& port);
    void replyInt(int value, int64_t now, SimPort& port);
    void sendBlock(int channel, int64_t now, SimPort& port);
    void autoset();
    void pushError(const char* error);

    ScpiLineAssembler lines_;
    uint32_t acquisition_ = 1;
};

}  // namespace bc::sim
