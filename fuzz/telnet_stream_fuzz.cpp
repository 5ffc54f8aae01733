// What an RFC 2217 server sends, as the client takes it: Telnet commands,
// subnegotiations, doubled 0xFF, in any order and cut at any points. The
// client is in the middle of a session (it has asked for its options and
// sent settings whose answers it awaits) when the bytes arrive.
//
// Input: a byte of settings to have sent (bit 0 speed, 1 data size, 2 DTR,
// 3 purge), a byte giving the number of cuts, that many cut lengths (one
// byte each), then the server's stream.
//
// Besides the sanitizers: the decoder gives the same data and the same
// commands however the stream is cut, the data never outgrows the stream,
// and what the client answers is well-formed Telnet.
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_support.h"
#include "net/rfc2217_client.h"
#include "net/telnet.h"

namespace {

using bc::fuzz::expect;
namespace telnet = bc::net::telnet;

// Every command the decoder reports, written down in order.
class Recorder : public telnet::Sink {
public:
    void negotiation(uint8_t verb, uint8_t option) override {
        log += 'N';
        log += char(verb);
        log += char(option);
    }
    void subnegotiation(uint8_t option, const uint8_t* payload, size_t size) override {
        expect(size <= telnet::Decoder::kMaxPayload, "a subnegotiation fits the decoder's buffer");
        log += 'S';
        log += char(option);
        log.append(reinterpret_cast<const char*>(payload), size);
        log += '.';
    }
    std::string log;
};

struct Decoded {
    std::string data;
    std::string commands;
};

Decoded decode(const std::string& stream, const std::vector<size_t>& cuts) {
    telnet::Decoder decoder;
    Recorder sink;
    Decoded d;
    std::vector<uint8_t> data(stream.size() + 1);
    size_t at = 0;
    auto feed = [&](size_t n) {
        const size_t got = decoder.feed(reinterpret_cast<const uint8_t*>(stream.data()) + at, n, data.data(), sink);
        expect(got <= n, "a feed gives no more data bytes than it was given");
        d.data.append(reinterpret_cast<const char*>(data.data()), got);
        at += n;
    };
    for (size_t cut : cuts) feed(std::min(cut, stream.size() - at));
    feed(stream.size() - at);
    d.commands = sink.log;
    return d;
}

// An answer the client writes: IAC only as the start of a whole command or
// doubled in a subnegotiation's value.
void expectWellFormed(const std::string& out) {
    size_t i = 0;
    while (i < out.size()) {
        expect(uint8_t(out[i]) == telnet::IAC, "the client writes only Telnet commands to the server here");
        expect(i + 2 < out.size(), "a command is whole");
        const uint8_t verb = uint8_t(out[i + 1]);
        if (verb != telnet::SB) {
            expect(verb >= telnet::WILL && verb <= telnet::DONT, "a negotiation verb");
            i += 3;
            continue;
        }
        size_t j = i + 2;
        while (j + 1 < out.size() && !(uint8_t(out[j]) == telnet::IAC && uint8_t(out[j + 1]) == telnet::SE))
            j += uint8_t(out[j]) == telnet::IAC ? 2 : 1;
        expect(j + 1 < out.size(), "a subnegotiation is closed");
        i = j + 2;
    }
}

void clientTakes(uint8_t sent, const std::string& stream, const std::vector<size_t>& cuts) {
    bc::net::ComPortClient client;
    std::string out;
    client.start(out);
    if (sent & 1) client.setBaudRate(19200, out);
    if (sent & 2) client.setting(telnet::SET_DATASIZE, 8, out);
    if (sent & 4) client.setting(telnet::SET_CONTROL, telnet::DTR_ON, out);
    if (sent & 8) client.purge(3, out);
    client.endBatch(out);
    std::vector<uint8_t> data(stream.size() + 1);
    size_t at = 0, total = 0;
    auto feed = [&](size_t n) {
        std::string answer;
        total += client.receive(reinterpret_cast<const uint8_t*>(stream.data()) + at, n, data.data(), answer);
        expectWellFormed(answer);
        at += n;
    };
    for (size_t cut : cuts) feed(std::min(cut, stream.size() - at));
    feed(stream.size() - at);
    expect(total <= stream.size(), "the client's data never outgrows the stream");
    client.giveUp();
    client.takeRefusal();
    expect(!client.owing(), "nothing is owed once the wait is given up");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // A few hundred bytes hold every command RFC 2217 has, cut many ways.
    bc::fuzz::startUp(argc, argv, {"-max_len=1024"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    bc::fuzz::Input in(bytes, size);
    const uint8_t sent = in.byte();
    std::vector<size_t> cuts(in.byte() % 16);
    for (size_t& c : cuts) c = in.byte();
    const std::string stream = in.rest();

    const Decoded whole = decode(stream, {});
    const Decoded pieces = decode(stream, cuts);
    expect(whole.data == pieces.data, "the data is the same however the stream is cut");
    expect(whole.commands == pieces.commands, "the commands are the same however the stream is cut");
    clientTakes(sent, stream, cuts);
    return 0;
}
