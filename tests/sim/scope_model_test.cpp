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
    // Channel 1: a 2.5 V sine at 2 V/div, its 2 V position added before the
    // 25 counts a division: (v + 2) / 2 x 25, so 4.5 V peaks at 56.25 -> 56
    // and -0.5 V troughs at -6.25 -> -6; rising through 0 V (25 counts) at
    // the trigger (the centre).
    int lo = 1000, hi = -1000;
    for (size_t n = 0; n < 4000; ++n) lo = std::min(lo, sampleAt(b1, n)), hi = std::max(hi, sampleAt(b1, n));
    EXPECT_EQ(hi, 56);
    EXPECT_EQ(lo, -6);
    EXPECT_EQ(sampleAt(b1, 2000), 25);
    EXPECT_GT(sampleAt(b1, 2100), 25);
    // Channel 2 alike: a 1.5 V square wave about its 2 V position,
    // (+1.5 + 2) / 2 x 25 = 43.75 -> 44 and (-1.5 + 2) / 2 x 25 = 6.25 -> 6.
    for (size_t n = 0; n < 4000; ++n) ASSERT_TRUE(sampleAt(b2, n) == 44 || sampleAt(b2, n) == 6) << n;
    EXPECT_EQ(sampleAt(b1, 123), w.model.lastSamples[0][123]);
}

// The instrument manuals' worked example, on both channels: 0x001C = 28
// counts at 0.5 V/div is 28 / 25 x 0.5 = 0.56 V. Channel 2 is moved up by a
// 1 V position, which the counts carry: (0.56 + 1) / 0.5 x 25 = 78. Beyond
// the screen the 8-bit converter saturates: 9 V at 0.5 V/div would be 450.
TEST(ScopeModel, CountsTwentyFiveADivisionFromTheCentreLineOnBothChannels) {
    Wire w;
    w.model.noiseLsb = 0;
    w.say(":CHAN1:SCAL 0.5\r:CHAN1:OFFS 0\r:CHAN2:SCAL 0.5\r:CHAN2:OFFS 1\r");
    w.model.inputs[0] = sim::SignalSource{sim::Shape::dc, 1e3, 0.0, 0.56};
    w.model.inputs[1] = sim::SignalSource{sim::Shape::dc, 1e3, 0.0, 0.56};
    const std::string b1 = w.ask(":acquire1:memory?\r"), b2 = w.ask(":acquire2:memory?\r");
    ASSERT_EQ(b1.size(), 8014u);
    ASSERT_EQ(b2.size(), 8014u);
    EXPECT_EQ(uint8_t(b1[14]), 0x00);
    EXPECT_EQ(uint8_t(b1[15]), 0x1C);
    EXPECT_EQ(sampleAt(b1, 3999), 28);
    EXPECT_EQ(sampleAt(b2, 0), 78);
    w.model.inputs[0].dcV = 9.0;
    w.model.inputs[1].dcV = -9.0;
    EXPECT_EQ(sampleAt(w.ask(":acquire1:memory?\r"), 0), 127);
    EXPECT_EQ(sampleAt(w.ask(":acquire2:memory?\r"), 0), -128);
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
