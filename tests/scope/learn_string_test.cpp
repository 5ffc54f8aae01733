#include "scope/learn_string.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/support/capture.h"

namespace bc {
namespace {

using test::lines;
using test::StdoutCapture;

std::string sample() { return sampleLearnString; }

// Where the field should land: the space in front of `value` at the first
// occurrence of `setting` (a text that ends in that space).
size_t spaceBefore(const std::string& setting) {
    size_t at = sample().find(setting);
    EXPECT_NE(at, std::string::npos) << setting;
    return at + setting.size() - 1;
}

struct Lookup {
    const char* section;
    const char* key;
    const char* landsOn;  // the setting text up to and including the space
    float value;
};

// The seven look-ups of the start-up check and the nine settings the dual
// capture reads.
const Lookup kLookups[] = {
    {";:CHAN", ";BW", ";BWLimit ", 0.0f},
    {":TIM", "SCAL", ":TIMebase:SWEep 0;SCALe ", 2.5e-06f},
    {":TIM", "SWE", ":TIMebase:SWEep ", 0.0f},
    {":DISP", ";CONT", "CONTrast ", 20.0f},
    {" ", " ", ":DISPlay:WAVeform ", 12340.0f},
    {":WAV", " ", ":DISPlay:WAVeform ", 12340.0f},
    {"", ":WAV", ":DISPlay:WAVeform ", 12340.0f},
    {":TRIG", "LEV", "LEVel ", 0.0f},
    {":CHANnel1", "PROB", ":CHANnel1:DISPlay 1;BWLimit 0;COUPling 0;INVert 0;OFFSet 2.000e+00;PROBe ", 0.0f},
    {":CHANnel1", "SCAL", ":CHANnel1:DISPlay 1;BWLimit 0;COUPling 0;INVert 0;OFFSet 2.000e+00;PROBe 0;SCALe ", 2.0f},
    {":CHANnel1", "OFFS", ":CHANnel1:DISPlay 1;BWLimit 0;COUPling 0;INVert 0;OFFSet ", 2.0f},
    {":CHANnel2", "SCAL", ":CHANnel2:DISPlay 1;BWLimit 0;COUPling 0;INVert 0;OFFSet 2.000e+00;PROBe 0;SCALe ", 2.0f},
    {":CHANnel2", "OFFS", ":CHANnel2:DISPlay 1;BWLimit 0;COUPling 0;INVert 0;OFFSet ", 2.0f},
    {":TIM", "DEL", ":TIMebase:SWEep 0;SCALe 2.500e-06;DELay ", 0.0f},
    {":REF2", "LOC", ":REF2:DISPlay 0;LOCate ", -50.0f},
    {":CURSor", "X2P", "X2Position ", 175.0f},
    {":TRIG", "MOD", ":TRIGger:TYPe 0;SOURce 0;MODe ", 1.0f},
};

TEST(LearnString, SampleIsTheInstrumentsSixHundredSeventyEightCharacters) {
    EXPECT_EQ(std::strlen(sampleLearnString), 678u);
    const std::string text = sample();
    EXPECT_EQ(std::count(text.begin(), text.end(), ';'), 51);
}

TEST(LearnString, LookupsLandOnTheSpaceBeforeTheValue) {
    for (const Lookup& l : kLookups) {
        const char* field = lrnFindField(sampleLearnString, l.section, l.key);
        ASSERT_NE(field, nullptr) << l.section << " / " << l.key;
        EXPECT_EQ(size_t(field - sampleLearnString), spaceBefore(l.landsOn)) << l.section << " / " << l.key;
        EXPECT_EQ(lrnGetFloat(sampleLearnString, l.section, l.key), l.value) << l.section << " / " << l.key;
    }
}

TEST(LearnString, KeySearchIsNotConfinedToTheSection) {
    // MATH stands after the channel-2 block, in channel 1's setting.
    const char* field = lrnFindField(sampleLearnString, ":CHANnel2", "MATH");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(size_t(field - sampleLearnString), spaceBefore(":CHANnel1:MATH "));
    EXPECT_EQ(lrnGetFloat(sampleLearnString, ":CHANnel2", "MATH"), 0.0f);
    // The first match wins: the time base's own SCALe, not WINDow:SCALe.
    EXPECT_EQ(lrnGetFloat(sampleLearnString, ":TIM", "WIND"), 2.5e-07f);
}

TEST(LearnString, MissingFieldsReadAsNullAndZero) {
    EXPECT_EQ(lrnFindField(sampleLearnString, ":RUN", "SCAL"), nullptr);  // key only before it
    EXPECT_EQ(lrnFindField(sampleLearnString, ":RUN", "RUN"), nullptr);   // no space after it
    EXPECT_EQ(lrnFindField(sampleLearnString, ":NOSUCH", "SCAL"), nullptr);
    EXPECT_EQ(lrnGetFloat(sampleLearnString, ":RUN", "RUN"), 0.0f);
    EXPECT_EQ(lrnGetFloat(sampleLearnString, ":NOSUCH", "SCAL"), 0.0f);
    EXPECT_EQ(lrnFindField(static_cast<const char*>(nullptr), ":TIM", "SCAL"), nullptr);
    EXPECT_EQ(lrnGetFloat(nullptr, ":TIM", "SCAL"), 0.0f);
    // A setting whose value is not a number reads as zero too.
    EXPECT_EQ(lrnGetFloat(":MODE fast;:X 1", ":MODE", ""), 0.0f);
}

TEST(LearnString, DumpOfTheSamplePutsOneSettingOnEachLine) {
    std::string text = sample();
    StdoutCapture capture;
    lrnDump(nullptr, text.data());
    auto rows = lines(capture.take());
    EXPECT_EQ(text, sample());
    ASSERT_EQ(rows.size(), 52u);
    int atMargin = 0;
    for (const std::string& row : rows) {
        if (row[0] == ':')
            ++atMargin;
        else
            EXPECT_EQ(row.substr(0, 4), "    ") << row;
    }
    EXPECT_EQ(atMargin, 12);
    EXPECT_EQ(rows[0], ":DISPlay:WAVeform 12340");
    EXPECT_EQ(rows[1], "    ACCumulate 0");
    EXPECT_EQ(rows[3], "    GRATicule 0");
    EXPECT_EQ(rows[4], ":CHANnel1:DISPlay 1");
    EXPECT_EQ(rows[49], ":REF2:DISPlay 0");
    EXPECT_EQ(rows[50], "    LOCate -50");
    EXPECT_EQ(rows[51], ":RUN");
}

TEST(LearnString, DumpGoesToTheFileAloneWhenOneIsGiven) {
    char text[] = ":A 1;b 2;;c 3;";
    FILE* f = tmpfile();
    ASSERT_NE(f, nullptr);
    StdoutCapture capture;
    lrnDump(f, text);
    EXPECT_EQ(capture.take(), "");
    EXPECT_STREQ(text, ":A 1;b 2;;c 3;");
    std::string written(128, '\0');
    rewind(f);
    written.resize(fread(written.data(), 1, written.size(), f));
    fclose(f);
    // Two separators in a row and a trailing one each leave a line of four spaces.
    EXPECT_EQ(written, ":A 1\n    b 2\n    \n    c 3\n    \n");
}

TEST(LearnString, DumpOfNothingWritesNothing) {
    StdoutCapture capture;
    lrnDump(nullptr, nullptr);
    char empty[] = "";
    lrnDump(nullptr, empty);
    EXPECT_EQ(capture.take(), "    \n");
}

}  // namespace
}  // namespace bc
