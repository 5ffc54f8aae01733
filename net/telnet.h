// Telnet as serial-port servers speak it (RFC 854, with RFC 2217's COM Port
// Control option on top): the byte codes, a decoder that splits a server's
// byte stream into data and commands, and the encoders for the way out.
// Pure code: no sockets, no clock, so that any stream cut at any point can be
// fed to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace bc::net::telnet {

constexpr uint8_t IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240;
constexpr uint8_t OPT_BINARY = 0, OPT_ECHO = 1, OPT_SUPPRESS_GO_AHEAD = 3, OPT_COM_PORT = 44;

// RFC 2217 commands, client to server; the server answers each with the code
// plus kServerOffset.
enum ComPortCommand : uint8_t {
    SIGNATURE = 0,
    SET_BAUDRATE = 1,
    SET_DATASIZE = 2,
    SET_PARITY = 3,
    SET_STOPSIZE = 4,
    SET_CONTROL = 5,
    NOTIFY_LINESTATE = 6,
    NOTIFY_MODEMSTATE = 7,
    FLOWCONTROL_SUSPEND = 8,
    FLOWCONTROL_RESUME = 9,
    SET_LINESTATE_MASK = 10,
    SET_MODEMSTATE_MASK = 11,
    PURGE_DATA = 12,
};
constexpr uint8_t kServerOffset = 100;

// SET-CONTROL values.
enum Control : uint8_t {
    FLOW_ASK = 0,
    FLOW_NONE = 1,
    FLOW_XONXOFF = 2,
    FLOW_HARDWARE = 3,
    BREAK_ASK = 4,
    BREAK_ON = 5,
    BREAK_OFF = 6,
    DTR_ASK = 7,
    DTR_ON = 8,
    DTR_OFF = 9,
    RTS_ASK = 10,
    RTS_ON = 11,
    RTS_OFF = 12,
};

// Modem-state bits of NOTIFY-MODEMSTATE: the same bits as Windows'
// MS_RLSD_ON, MS_RING_ON, MS_DSR_ON and MS_CTS_ON, with a "changed" bit each
// below them.
constexpr uint8_t kCarrierDetect = 0x80, kRing = 0x40, kDsr = 0x20, kCts = 0x10, kLineBits = 0xF0;

// What the decoder found besides data.
class Sink {
public:
    virtual ~Sink() = default;
    // WILL, WONT, DO or DONT for an option.
    virtual void negotiation(uint8_t verb, uint8_t option) = 0;
    // IAC SB option payload IAC SE, the payload's doubled 255s undone.
    virtual void subnegotiation(uint8_t option, const uint8_t* payload, size_t size) = 0;
};

class Decoder {
public:
    // Decodes `count` bytes from the server: data bytes (a doubled 255 as one)
    // go to `data`, which has room for `count`; commands go to `sink`. Any
    // state left by a cut in the middle of a command carries over to the next
    // call. Returns the number of data bytes.
    size_t feed(const uint8_t* bytes, size_t count, uint8_t* data, Sink& sink);
    // Inside a Sink call: how many data bytes this feed has given so far, so
    // that the sink knows which data came before the command.
    size_t dataSoFar() const { return produced_; }

    // Longer subnegotiations are dropped: nothing RFC 2217 sends comes near.
    static constexpr size_t kMaxPayload = 64;

private:
    enum class State { data, command, verb, subOption, sub, subCommand };
    State state_ = State::data;
    uint8_t verb_ = 0;
    uint8_t option_ = 0;
    uint8_t payload_[kMaxPayload];
    size_t size_ = 0;
    bool overlong_ = false;
    size_t produced_ = 0;
};

// Which options are on, on each side, as WILL, WONT, DO and DONT settle
// them. A request is answered only when it changes something, so that two
// sides asking at once do not answer each other for ever (RFC 854).
class Options {
public:
    // Options this side takes up when asked, on its own side (WILL) and on
    // the peer's (DO).
    void accept(uint8_t option, bool ourSide, bool peerSide);
    // Asks for an option on our side (WILL) or the peer's (DO).
    void ask(uint8_t option, bool ourSide, std::string& out);
    // Answers the peer's WILL, WONT, DO or DONT.
    void answer(uint8_t verb, uint8_t option, std::string& out);
    bool ours(uint8_t option) const { return usOn_[option]; }
    bool peers(uint8_t option) const { return himOn_[option]; }

private:
    bool usOk_[256] = {}, himOk_[256] = {};
    bool usOn_[256] = {}, usAsked_[256] = {}, himOn_[256] = {}, himAsked_[256] = {};
};

// Appends data bytes to `out`, each 255 doubled.
void appendData(const uint8_t* bytes, size_t count, std::string& out);
// Appends IAC verb option.
void appendNegotiation(uint8_t verb, uint8_t option, std::string& out);
// Appends IAC SB COM-PORT-OPTION command value IAC SE, the value's 255s doubled.
void appendComPort(uint8_t command, const uint8_t* value, size_t size, std::string& out);
// The same with a value of one byte, or of four in network byte order.
void appendComPort(uint8_t command, uint8_t value, std::string& out);
void appendComPort32(uint8_t command, uint32_t value, std::string& out);

// A four-byte value in network byte order, as SET-BAUDRATE carries it.
uint32_t read32(const uint8_t* bytes);

}  // namespace bc::net::telnet
