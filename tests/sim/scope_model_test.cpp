#include "sim/scope_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "scope/learn_string.h"

namespace bc {
namespace {

using sim::ScopeModel;
using sim::SimPort;

// The model on a bare simulated port, driven by hand.
struct Wire {
    ScopeModel model;
    SimPort port;
    int64_t now = 0;

    void say(const std::string& text, size_t piece = 0) {
        const size_t step = piece ? piece : text.size();
        for (size_t i = 0; i < text.size(); i += step) {
            const std::string part = text.substr(i, step);
            model.receive(reinterpret_cast<const uint8_t*>(part.data()), part.size(), now, port);
        }
    }
    // Everything that has arrived by `at`.
    std::string hear(int64_t at = 1000000) {
        std::string out(100000, '\0');
        DWORD got = 0;
        port.read(reinterpret_cast<uint8_t*>(out.data()), DWORD(out.size()), at, got);
        out.resize(got);
        return out;
    }
    std::string ask(const std::string& query) {
        say(query);
        return hear();
    }
};

TEST(ScopeModel, AResetInstrumentGivesTheReferenceLearnString) {
    Wire w;
    w.model.settings.channel[0].scale = 5.0f;
    w.say("*RST\r");
    EXPECT_EQ(w.ask("*LRN?\r"), std::string(sampleLearnString) + "\n");
    EXPECT_EQ(w.ask("*lrn?\r"), std::string(sampleLearnString) + "\n");
}

TEST(ScopeModel, ParsesCommandsInAnyPiecesCaseAndMnemonicForm) {
    Wire w;
    w.say(":tim:scal 5e-6\r:TIMEBASE:DELAY -1.0E-04\r\n:Chan2:Invert ON\n:CHANNEL1:PROBE 2\r", 1);
    EXPECT_FLOAT_EQ(w.model.settings.timebaseScale, 5e-6f);
    EXPECT_FLOAT_EQ(w.model.settings.timebaseDelay, -1e-4f);
    EXPECT_EQ(w.model.settings.channel[1].invert, 1);
    EXPECT_EQ(w.model.settings.channel[0].probe, 2);
    EXPECT_EQ(w.ask(":TIMebase:SCALe?\r"), " 5.000e-06\n");
    EXPECT_EQ(w.ask(":tim:del?\n"), "-1.000e-04\n");
    EXPECT_EQ(w.ask(":CHAN1:PROB?\n"), " 2\n");
    EXPECT_EQ(w.model.heard.size(), 7u);
    EXPECT_EQ(w.model.heard[1].message, ":TIMEBASE:DELAY -1.0E-04");
    // What it cannot take goes to the error queue and changes nothing.
    w.say(":BOGUS 1\r:CHAN1:SCAL 0\r");
    EXPECT_EQ(w.ask(":SYST:ERR?\r"), "-113,\"Undefined header\"\n");
    EXPECT_EQ(w.ask(":SYST:ERR?\r"), "-224,\"Illegal parameter value\"\n");
    EXPECT_EQ(w.ask(":SYST:ERR?\r"), "+0,\"No error\"\n");
    EXPECT_FLOAT_EQ(w.model.settings.channel[0].scale, 2.0f);
}

TEST(ScopeModel, ALearnStringSentBackRestoresEverySetting) {
    Wire a, b;
    a.say(":chan2:inv 1\r:TIM:SWE 2\r:TRIG:LEV 0.5\r:DISP:WAV 0\r:SINGLE\r");
    b.say(a.model.learnString() + "\r");
    EXPECT_EQ(b.model.learnString(), a.model.learnString());
    EXPECT_TRUE(b.model.errors.empty()) << b.model.errors.front();
}

int sampleAt(const std::string& block, size_t n) {
    return int16_t(uint16_t(uint8_t(block[14 + 2 * n]) << 8 | uint8_t(block[15 + 2 * n])));
}

TEST(ScopeModel, AnswersAMemoryRequestWithOneBlockOfItsChannel) {
    Wire w;
    w.model.noiseLsb = 0;
    const std::string b1 = w.ask(":acquire1:memory?\r");
    const std::string b2 = w.ask(":ACQ2:MEM?\r");
    ASSERT_EQ(b1.size(), 8014u);
    ASSERT_EQ(b2.size(), 8014u);
    EXPECT_EQ(b1.substr(0, 6), "#48008");
    uint32_t bits = uint32_t(uint8_t(b1[6])) << 24 | uint32_t(uint8_t(b1[7])) << 16 | uint32_t(uint8_t(b1[8])) << 8 |
                    uint8_t(b1[9]);
    float period;
    memcpy(&period, &bits, 4);
    EXPECT_FLOAT_EQ(period, 2.5e-6f * 10 / 4000);  // ten divisions of the time base
    EXPECT_EQ(b1[10], 1);
    EXPECT_EQ(b2[10], 2);
    // Channel 1: a 2.5 V sine at 2 V/div about a 2 V position, 50 counts per
    // division (62.5 counts of swing about 50), rising through the position
    // at the trigger (the centre).
    int lo = 1000, hi = -1000;
    for (size_t n = 0; n < 4000; ++n) lo = std::min(lo, sampleAt(b1, n)), hi = std::max(hi, sampleAt(b1, n));
    EXPECT_NEAR(hi, 50 + 62.5, 1);
    EXPECT_NEAR(lo, 50 - 62.5, 1);
    EXPECT_EQ(sampleAt(b1, 2000), 50);
    EXPECT_GT(sampleAt(b1, 2100), 50);
    // Channel 2: a 1.5 V square wave, its 2 V position entering with the
    // opposite sign: (+-1.5 - 2) / 2 x 50, two levels only.
    for (size_t n = 0; n < 4000; ++n) ASSERT_TRUE(sampleAt(b2, n) == -13 || sampleAt(b2, n) == -88) << n;
    EXPECT_EQ(sampleAt(b1, 123), w.model.lastSamples[0][123]);
}

TEST(ScopeModel, AutosetFitsTheSignalsAndSingleFreezesTheAcquisition) {
    Wire w;
    w.say(":AUT\r");
    EXPECT_FLOAT_EQ(w.model.settings.channel[0].scale, 1.0f);               // 2.5 V peak in about 3 div
    EXPECT_FLOAT_EQ(w.model.settings.channel[1].scale, 0.5f);               // 1.5 V peak
    EXPECT_FLOAT_EQ(w.model.settings.timebaseScale, 5e-6f);                 // two 40 kHz periods on screen
    EXPECT_NE(w.ask(":acquire1:memory?\r"), w.ask(":acquire1:memory?\r"));  // fresh noise each sweep
    w.say(":SINGLE\r");
    EXPECT_EQ(w.ask(":acquire1:memory?\r"), w.ask(":acquire1:memory?\r"));
    EXPECT_EQ(w.ask(":TRIG:FREQ?\r"), " 4.000e+04\n");
}

TEST(ScopeModel, InjectsTheFaultsTestsAskFor) {
    Wire w;
    w.model.faults.pieceBytes = 4;
    w.model.faults.pieceGapMs = 150;
    w.say(":CHAN1:SCAL?\n");
    EXPECT_EQ(w.hear(2), " 2.0");  // latency 2 ms, then a piece every 150 ms
    EXPECT_EQ(w.hear(151), "");
    EXPECT_EQ(w.hear(152), "00e+");
    EXPECT_EQ(w.hear(), "00\n");

    Wire quiet;
    quiet.model.faults.silent = true;
    EXPECT_EQ(quiet.ask("*idn?\r"), "");

    Wire odd;
    odd.model.faults.garbageBefore = "\x01\xfe";
    odd.model.faults.queryReplyPadTo = 1200;
    odd.model.faults.shortBlockBytes = 100;
    const std::string reply = odd.ask(":CHAN1:OFFS?\n");
    EXPECT_EQ(reply.size(), 1202u);
    EXPECT_EQ(reply.substr(0, 13), "\x01\xfe 2.000e+00 ");
    EXPECT_EQ(odd.ask(":acquire1:memory?\r").size(), 102u);

    Wire wordy;
    wordy.model.faults.learnPadTo = 750;
    EXPECT_GE(wordy.ask("*LRN?\r").size(), 751u);
}

}  // namespace
}  // namespace bc
