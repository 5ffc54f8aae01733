// The simulated oscilloscope as an independent SCPI client sees it: PyVISA
// with its pure-Python back end (Debian's python3-pyvisa, python3-pyvisa-py)
// over benchcom-sim's raw TCP port, converting the memory blocks with the
// instrument's 25 counts a division.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "tests/support/process.h"

namespace bc {
namespace {

const std::string kSim = BENCHCOM_SIM_PATH;
const std::string kClient = BENCHCOM_PYVISA_CLIENT;

struct Found {
    char period[16] = "", scale[16] = "", position[16] = "";
    double amplitude = 0, centre = 0, frequency = 0;
};

bool parse(const std::string& line, int channel, Found& f) {
    int ch = 0;
    return sscanf(line.c_str(), "ch%d period %15s scale %15s position %15s amplitude %lf centre %lf frequency %lf", &ch,
                  f.period, f.scale, f.position, &f.amplitude, &f.centre, &f.frequency) == 7 &&
           ch == channel;
}

// The client sets 50 us a division (a record of 500 us, 125 ns a sample),
// leaves channel 1 at its reset 2 V/div and +2 V position, and puts channel 2
// at 0.5 V/div and -1 V. A converter step is scale / 25: 80 mV and 20 mV. The
// amplitude and the centre each come from the highest and lowest sample, each
// off by at most half a step of rounding and one step of noise, and the
// triangle's peak may fall between two samples (0.12 V/us x 62.5 ns = 7.5 mV):
// two steps bound both. The frequencies come from some 25 and 10 periods.
TEST(SimPyvisa, FindsTheSignalsTheBenchWasToldToMake) {
    const auto r = test::run({kSim, "--view", "/dev/null", "--ch1", "sine,50000,3", "--ch2", "triangle,20000,1.5",
                              "--listen", "socket://127.0.0.1:0", "--", "/usr/bin/python3", kClient, "-"});
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    std::istringstream lines(r.out);
    std::string line1, line2;
    std::getline(lines, line1);
    std::getline(lines, line2);
    Found ch1, ch2;
    ASSERT_TRUE(parse(line1, 1, ch1)) << r.out;
    ASSERT_TRUE(parse(line2, 2, ch2)) << r.out;

    EXPECT_STREQ(ch1.period, "1.250e-07");  // 50 us x 10 divisions / 4000 samples
    EXPECT_STREQ(ch1.scale, "2.000e+00");
    EXPECT_STREQ(ch1.position, "2.000e+00");
    EXPECT_NEAR(ch1.amplitude, 3.0, 2 * 0.08);
    EXPECT_NEAR(ch1.centre, 0.0, 2 * 0.08);
    EXPECT_NEAR(ch1.frequency, 50e3, 50e3 * 0.005);

    EXPECT_STREQ(ch2.period, "1.250e-07");
    EXPECT_STREQ(ch2.scale, "5.000e-01");
    EXPECT_STREQ(ch2.position, "-1.000e+00");
    EXPECT_NEAR(ch2.amplitude, 1.5, 2 * 0.02);
    EXPECT_NEAR(ch2.centre, 0.0, 2 * 0.02);
    EXPECT_NEAR(ch2.frequency, 20e3, 20e3 * 0.005);
}

}  // namespace
}  // namespace bc
