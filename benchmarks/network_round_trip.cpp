// P7: one adapter frame (63 00: two bytes out, one back) across the network,
// through one ser2net serving benchcom-sim's terminal: the tool through
// socket:// and rfc2217://, a raw TCP client loop on the same raw accepter
// (the floor), and pyserial's socket:// and rfc2217://. ser2net serves one
// client of a device at a time, so the clients take turns in short rounds,
// each on a connection of its own.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include "benchmarks/clock.h"
#include "benchmarks/pyserial_client.h"
#include "benchmarks/sections.h"
#include "benchmarks/sim_child.h"
#include "benchmarks/tool_port.h"
#include "iss/adapter_interface.h"
#include "testkit/ser2net_process.h"

namespace bc::benchmarks {

namespace {

constexpr int kSets = 5;
constexpr int kRoundsPerSet = 12;
constexpr int kPerRound = 50;
constexpr int kPyPerBlock = 300;
constexpr int kWarmUp = 10;

// The floor: a blocking TCP socket, no time-outs, no protocol.
class RawTcp {
public:
    explicit RawTcp(uint16_t port) {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        int one = 1;
        if (fd_ >= 0 && connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0)
            setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        else if (fd_ >= 0)
            close(fd_), fd_ = -1;
    }
    ~RawTcp() {
        if (fd_ >= 0) close(fd_);
    }
    // Nanoseconds, or -1.
    int64_t roundTrip() {
        const uint8_t frame[2] = {iss::kCmdSetPins, 0};
        uint8_t reply;
        const int64_t t0 = nowNs();
        if (fd_ < 0 || send(fd_, frame, 2, 0) != 2 || recv(fd_, &reply, 1, 0) != 1) return -1;
        return nowNs() - t0;
    }

private:
    int fd_ = -1;
};

Samples rawRound(uint16_t port, int count) {
    RawTcp line(port);
    Samples us;
    for (int i = 0; i < kWarmUp + count; ++i) {
        const int64_t t = line.roundTrip();
        if (t < 0) return {};
        if (i >= kWarmUp) us.push_back(double(t) / 1e3);
    }
    return us;
}

Samples toolRound(const std::string& url, int count) {
    if (!openToolPort(url)) return {};
    const Samples us = toolRoundTrips(kWarmUp).empty() ? Samples{} : toolRoundTrips(count);
    closeToolPort();
    return us;
}

Samples pyserialBlock(const Config& cfg, const std::string& port) {
    return pyserialRoundTrips(cfg, port, kWarmUp, kPyPerBlock);
}

struct Results {
    Samples raw, socket, rfc2217, pySocket, pyRfc2217;
    std::vector<double> socketOverRaw, rfc2217OverRaw, rfc2217OverPy;
};

// One client after another: each waits until ser2net has let go of the
// device for the one before.
struct Turns {
    const sim::Ser2net& server;
    const std::string& device;
    template <typename Client>
    Samples take(Client client) {
        server.awaitRelease(device);
        return client();
    }
};

bool oneSet(const sim::Ser2net& server, const std::string& device, const Config& cfg, Results& r) {
    Turns turn{server, device};
    // pyserial waits for answers to DTR and RTS, which ser2net does not give
    // on a terminal; ign_set_control is its way past them.
    const std::string pyRfcUrl = server.rfc2217Url() + "?ign_set_control";
    const Samples pySocket = turn.take([&] { return pyserialBlock(cfg, server.socketUrl()); });
    const Samples pyRfc = turn.take([&] { return pyserialBlock(cfg, pyRfcUrl); });
    Samples rfc;
    for (int k = 0; k < kRoundsPerSet; ++k) {
        const Samples s = turn.take([&] { return toolRound(server.socketUrl(), kPerRound); });
        const Samples w = turn.take([&] { return rawRound(server.rawPort, kPerRound); });
        const Samples t = turn.take([&] { return toolRound(server.rfc2217Url(), kPerRound); });
        if (s.empty() || w.empty() || t.empty()) return false;
        append(r.socket, s);
        append(r.raw, w);
        append(rfc, t);
        r.socketOverRaw.push_back(median(s) / median(w));
        r.rfc2217OverRaw.push_back(median(t) / median(w));
    }
    append(r.rfc2217, rfc);
    append(r.pySocket, pySocket);
    append(r.pyRfc2217, pyRfc);
    if (!pyRfc.empty()) r.rfc2217OverPy.push_back(median(rfc) / median(pyRfc));
    return true;
}

Row timeRow(const char* what, const Samples& s) { return {"P7", what, summarize(s), "us", 1, "-", !s.empty()}; }

Row ratioRow(const char* what, const std::vector<double>& ratios, const char* target, double limit) {
    const Summary s = summarize(ratios);
    return {"P7", what, s, "ratio", 3, target, s.runs > 0 && s.median <= limit};
}

}  // namespace

void measureNetworkRoundTrips(const Config& cfg, Report& report) {
    SimChild sim;
    sim::Ser2net server;
    std::string error;
    if (!sim.start(cfg.simPath, error)) {
        report.note("P7: " + error);
        return;
    }
    if (!server.start(sim.port(), "19200n81")) {
        report.note("P7: ser2net did not start (is it installed? /usr/sbin/ser2net)");
        return;
    }
    Results r;
    for (int set = 0; set < cfg.runs(kSets); ++set)
        if (!oneSet(server, sim.port(), cfg, r)) break;
    report.add(timeRow("round trip, raw TCP loop via ser2net (floor)", r.raw));
    report.add(timeRow("round trip, tool socket://", r.socket));
    report.add(timeRow("round trip, tool rfc2217://", r.rfc2217));
    report.add(timeRow("round trip, pyserial socket://", r.pySocket));
    report.add(timeRow("round trip, pyserial rfc2217://", r.pyRfc2217));
    report.add(ratioRow("round trip, tool socket:// / floor", r.socketOverRaw, "<= 1.10", 1.10));
    report.add(ratioRow("round trip, tool rfc2217:// / floor", r.rfc2217OverRaw, "<= 1.20", 1.20));
    report.add(ratioRow("round trip, tool / pyserial rfc2217://", r.rfc2217OverPy, "< 1.00", 0.9999));
    if (r.pyRfc2217.empty()) report.note("P7: pyserial did not run (is python3-serial installed?)");
    report.note(
        "P7: one ser2net (telnet(rfc2217) and tcp accepters, chardelay off) serves benchcom-sim's "
        "terminal; the tool through socket://, the raw TCP loop and the tool through rfc2217:// take "
        "turns in rounds of " +
        std::to_string(kPerRound) +
        " exchanges, each on a new connection; "
        "pyserial blocks of " +
        std::to_string(kPyPerBlock) +
        " (rfc2217:// with ?ign_set_control) "
        "before every " +
        std::to_string(kRoundsPerSet) +
        " rounds. Ratio rows: medians of per-round "
        "(per-set) ratios of medians.");
}

}  // namespace bc::benchmarks
