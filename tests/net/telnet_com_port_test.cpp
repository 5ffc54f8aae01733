// The Telnet / RFC 2217 code without a network: the decoder on a server's
// stream cut anywhere, the client's bookkeeping of the answers a server owes,
// and client and simulated server talking to each other in memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/rfc2217_client.h"
#include "net/telnet.h"
#include "simhost/com_port_server.h"

namespace bc {
namespace {

using namespace net::telnet;
using net::ComPortClient;

std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) s += char(b);
    return s;
}

// Everything the decoder reports, in order, in one string.
struct Recorder : Sink {
    std::string events;
    void negotiation(uint8_t verb, uint8_t option) override {
        events += "N" + std::to_string(verb) + "," + std::to_string(option) + ";";
    }
    void subnegotiation(uint8_t option, const uint8_t* p, size_t size) override {
        events += "S" + std::to_string(option) + ":" + std::string(reinterpret_cast<const char*>(p), size) + ";";
    }
};

std::string decodeInPieces(const std::string& stream, std::vector<size_t> cuts, Recorder& r) {
    Decoder d;
    std::string data;
    cuts.push_back(stream.size());
    size_t at = 0;
    for (size_t cut : cuts) {
        std::vector<uint8_t> out(cut - at + 1);
        const size_t n = d.feed(reinterpret_cast<const uint8_t*>(stream.data()) + at, cut - at, out.data(), r);
        data.append(reinterpret_cast<const char*>(out.data()), n);
        at = cut;
    }
    return data;
}

// What ser2net sends on a connection, with data and answers between: a
// doubled 255 in the data and in a speed's bytes (131071 = 00 01 FF FF).
TEST(TelnetDecoder, GivesTheSameDataAndCommandsWhereverTheStreamIsCut) {
    const std::string stream =
        bytes({IAC, WILL, 3,  IAC, DO,  44,  'a', IAC, IAC, 'b', IAC, SB, 44,  101,  0,   1,  IAC, IAC, IAC,
               IAC, IAC,  SE, 0,   IAC, IAC, IAC, 241, 'c', IAC, SB,  44, 107, 0x30, IAC, SE, IAC, IAC});
    const std::string data = bytes({'a', 255, 'b', 0, 255, 'c', 255});
    const std::string events =
        "N251,3;N253,44;S44:" + bytes({101, 0, 1, 255, 255}) + ";S44:" + bytes({107, 0x30}) + ";";
    for (size_t i = 0; i <= stream.size(); ++i)
        for (size_t j = i; j <= stream.size(); ++j) {
            Recorder r;
            ASSERT_EQ(decodeInPieces(stream, {i, j}, r), data) << "cut at " << i << " and " << j;
            ASSERT_EQ(r.events, events) << "cut at " << i << " and " << j;
        }
}

TEST(TelnetDecoder, DropsAnOverlongSubnegotiationAndKeepsTheDataAfterIt) {
    std::string stream = bytes({IAC, SB, 44, 107});
    stream += std::string(200, 'x');
    stream += bytes({IAC, SE, 'd'});
    Recorder r;
    EXPECT_EQ(decodeInPieces(stream, {}, r), "d");
    EXPECT_EQ(r.events, "");
}

TEST(TelnetEncoder, DoublesEvery255InDataAndInACommandsValue) {
    std::string out;
    const uint8_t data[] = {1, 255, 2};
    appendData(data, 3, out);
    appendComPort32(SET_BAUDRATE, 0x0001FFFF, out);
    EXPECT_EQ(out, bytes({1, 255, 255, 2, IAC, SB, 44, 1, 0, 1, 255, 255, 255, 255, IAC, SE}));
}

// The client fed what a server says; what it sends back is in `out`.
struct ClientSession {
    ComPortClient client;
    std::string out, data;
    void serverSays(const std::string& s) {
        std::vector<uint8_t> d(s.size() + 1);
        data.append(reinterpret_cast<const char*>(d.data()),
                    client.receive(reinterpret_cast<const uint8_t*>(s.data()), s.size(), d.data(), out));
    }
    std::string answer(uint8_t command, uint8_t value) {
        return bytes({IAC, SB, 44, command + kServerOffset, value, IAC, SE});
    }
};

TEST(ComPortClient, AgreesToWhatItAskedForAndRefusesTheRest) {
    ClientSession s;
    s.client.start(s.out);
    EXPECT_EQ(s.out, bytes({IAC, WILL, 0, IAC, DO, 0, IAC, WILL, 3, IAC, DO, 3, IAC, WILL, 44}));
    s.out.clear();
    // ser2net's opening: it asks for what we asked for, and offers echo.
    s.serverSays(bytes({IAC, WILL, 3, IAC, DO, 3, IAC, WILL, 1, IAC, DO, 0, IAC, WILL, 0, IAC, DO, 44}));
    EXPECT_EQ(s.out, bytes({IAC, DONT, 1}));
    EXPECT_EQ(s.client.comPort(), ComPortClient::Agreement::accepted);

    ClientSession refused;
    refused.client.start(refused.out);
    refused.serverSays(bytes({IAC, DONT, 44}));
    EXPECT_EQ(refused.client.comPort(), ComPortClient::Agreement::refused);
}

// ser2net answers break but not DTR or RTS on a device without modem lines:
// the answer to the probe after them shows it at once, and later DTR and RTS
// commands are not awaited.
TEST(ComPortClient, LearnsFromTheProbeWhichControlsTheServerLeavesUnanswered) {
    ClientSession s;
    s.client.setting(SET_CONTROL, BREAK_ON, s.out);
    s.client.setting(SET_CONTROL, DTR_ON, s.out);
    s.client.endBatch(s.out);
    EXPECT_NE(s.out.find(bytes({IAC, SB, 44, SET_DATASIZE, 0, IAC, SE})), std::string::npos);
    s.serverSays(s.answer(SET_CONTROL, BREAK_ON));
    EXPECT_TRUE(s.client.owing());
    s.serverSays(s.answer(SET_DATASIZE, 8));
    EXPECT_FALSE(s.client.owing());

    s.out.clear();
    s.client.setting(SET_CONTROL, DTR_OFF, s.out);
    s.client.endBatch(s.out);
    EXPECT_FALSE(s.client.owing());
    EXPECT_EQ(s.out, bytes({IAC, SB, 44, SET_CONTROL, DTR_OFF, IAC, SE}));
    s.client.setting(SET_CONTROL, BREAK_OFF, s.out);
    EXPECT_TRUE(s.client.owing());
}

TEST(ComPortClient, NoticesASettingTheServerCouldNotApply) {
    ClientSession s;
    s.client.setting(SET_PARITY, 3, s.out);
    s.serverSays(s.answer(SET_PARITY, 1));
    EXPECT_FALSE(s.client.owing());
    EXPECT_TRUE(s.client.takeRefusal());
    EXPECT_FALSE(s.client.takeRefusal());
}

// Data that reached us before the server's answer to a purge of its receive
// buffer was on its way before the purge, and goes with it.
TEST(ComPortClient, DropsTheDataThatCameBeforeThePurgeWasAnswered) {
    ClientSession s;
    s.client.purge(1, s.out);
    s.serverSays("old");
    s.serverSays("older" + s.answer(PURGE_DATA, 1) + "new");
    s.serverSays("er");
    EXPECT_EQ(s.data, "newer");
    EXPECT_FALSE(s.client.owing());
}

// The open's purge, then its question about the speed, which every server
// answers: a server that purges answers both, in order; one that does not
// answers the question alone. Its purge is given up then (the data before
// the answer was sent before it all the same) and later purges are not
// awaited.
TEST(ComPortClient, GivesUpAPurgeAServerLeavesUnansweredWhenItAnswersTheNextQuestion) {
    std::string speed;
    appendComPort32(uint8_t(SET_BAUDRATE + kServerOffset), 19200, speed);
    ClientSession purging;
    purging.client.purge(3, purging.out);
    purging.client.askBaudRate(purging.out);
    purging.serverSays("old" + purging.answer(PURGE_DATA, 3));
    EXPECT_TRUE(purging.client.owing());
    purging.serverSays(speed + "new");
    EXPECT_FALSE(purging.client.owing());
    EXPECT_EQ(purging.data, "new");

    ClientSession s;
    s.client.purge(3, s.out);
    s.client.askBaudRate(s.out);
    s.serverSays("old");
    EXPECT_TRUE(s.client.owing());
    s.serverSays("older" + speed + "new");
    EXPECT_FALSE(s.client.owing());
    EXPECT_EQ(s.data, "new");
    s.out.clear();
    s.client.purge(1, s.out);
    EXPECT_EQ(s.out, bytes({IAC, SB, 44, PURGE_DATA, 1, IAC, SE}));
    EXPECT_FALSE(s.client.owing());
    s.serverSays("kept");
    EXPECT_EQ(s.data, "newkept");
}

// Client and the simulated bench's server, wired back to back in memory.
struct BackToBack {
    ComPortClient client;
    sim::ComPortServer server;
    sim::SimPort port;
    std::string data;

    void toServer(std::string& bytes) {
        std::string reply;
        server.receive(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), port, 0, reply);
        bytes.clear();
        std::string more;
        std::vector<uint8_t> d(reply.size() + 1);
        data.append(reinterpret_cast<const char*>(d.data()),
                    client.receive(reinterpret_cast<const uint8_t*>(reply.data()), reply.size(), d.data(), more));
        if (!more.empty()) toServer(more);
    }
};

TEST(ComPortServer, TakesASpeedWithA255ByteAndDrivesTheLoopbackPlug) {
    BackToBack b;
    std::string out, opening;
    b.server.start(opening);
    b.client.start(out);
    std::vector<uint8_t> d(opening.size());
    b.client.receive(reinterpret_cast<const uint8_t*>(opening.data()), opening.size(), d.data(), out);
    b.toServer(out);
    ASSERT_EQ(b.client.comPort(), ComPortClient::Agreement::accepted);

    b.client.setBaudRate(0x0001FFFF, out);
    b.client.setting(SET_CONTROL, RTS_ON, out);
    b.client.endBatch(out);
    const uint8_t payload[] = {0x5A, 0xFF, 0x01};
    appendData(payload, 3, out);
    b.toServer(out);
    EXPECT_FALSE(b.client.owing());
    EXPECT_FALSE(b.client.takeRefusal());
    EXPECT_EQ(b.port.dcb.BaudRate, 0x0001FFFFu);
    EXPECT_EQ(b.port.received, std::vector<uint8_t>(payload, payload + 3));
    EXPECT_EQ(b.client.modemState() & kLineBits, kCts);

    b.client.setting(SET_CONTROL, DTR_ON, out);
    b.toServer(out);
    EXPECT_EQ(b.client.modemState() & kLineBits, kCts | kDsr | kCarrierDetect);
    EXPECT_TRUE(b.port.rts);
}

}  // namespace
}  // namespace bc
