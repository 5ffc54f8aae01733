// What BENCHCOM_PORT makes of the "\\.\COM3" the routines open.
#include "ports/port_choice.h"

#include <gtest/gtest.h>

namespace bc::ports {
namespace {

using Kind = PortChoice::Kind;

TEST(PortChoice, UnsetLeavesEveryComPortItsLegacyUart) {
    for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
        EXPECT_EQ(choosePort("\\\\.\\COM3", unset).device, "/dev/ttyS2");
        EXPECT_EQ(choosePort("\\\\.\\COM1", unset).device, "/dev/ttyS0");
        EXPECT_EQ(choosePort("com12", unset).device, "/dev/ttyS11");
        EXPECT_EQ(choosePort("\\\\.\\COM3", unset).given, "");
    }
}

TEST(PortChoice, OnlyCom3TakesTheVariable) {
    const PortChoice three = choosePort("COM3", "/dev/ttyACM0");
    EXPECT_EQ(three.kind, Kind::local);
    EXPECT_EQ(three.device, "/dev/ttyACM0");
    EXPECT_EQ(three.given, "/dev/ttyACM0");
    EXPECT_EQ(choosePort("\\\\.\\COM2", "/dev/ttyACM0").device, "/dev/ttyS1");
    // Not COM names at all: opened as they are.
    EXPECT_EQ(choosePort("/dev/ttyUSB0", "sim").device, "/dev/ttyUSB0");
    EXPECT_EQ(choosePort("\\\\.\\COM0", "sim").device, "\\\\.\\COM0");
    EXPECT_EQ(choosePort("COM3x", "sim").device, "COM3x");
}

TEST(PortChoice, ComNamesFromOneTo255InEitherSpelling) {
    EXPECT_EQ(parsePortValue("COM5").device, "/dev/ttyS4");
    EXPECT_EQ(parsePortValue("\\\\.\\COM10").device, "/dev/ttyS9");
    EXPECT_EQ(parsePortValue("com255").device, "/dev/ttyS254");
    for (const char* bad : {"COM0", "COM256", "COM", "COM05", "COM1000", "\\\\.\\COMx"})
        EXPECT_EQ(parsePortValue(bad).kind, Kind::invalid) << bad;
}

TEST(PortChoice, UsbSelectors) {
    const PortChoice any = parsePortValue("usb:04D8:ffee");
    ASSERT_EQ(any.kind, Kind::usb);
    EXPECT_EQ(any.usb.vendor, 0x04D8);
    EXPECT_EQ(any.usb.product, 0xFFEE);
    EXPECT_EQ(any.usb.serial, "");
    const PortChoice one = parsePortValue("usb:403:6001:A1:B2");
    ASSERT_EQ(one.kind, Kind::usb);
    EXPECT_EQ(one.usb.vendor, 0x0403);
    EXPECT_EQ(one.usb.serial, "A1:B2");  // a serial number may hold anything, colons too
    EXPECT_EQ(usbSelectorText(0x403, 0x6001, "A1"), "usb:0403:6001:A1");
    for (const char* bad : {"usb:", "usb:0403", "usb:0403:", "usb:12345:6001", "usb:04g3:6001", "usb:0403:6001:"})
        EXPECT_EQ(parsePortValue(bad).kind, Kind::invalid) << bad;
}

TEST(PortChoice, NetworkPorts) {
    const PortChoice r = parsePortValue("rfc2217://bench-pi.local:7101");
    ASSERT_EQ(r.kind, Kind::rfc2217);
    EXPECT_EQ(r.host, "bench-pi.local");
    EXPECT_EQ(r.tcpPort, 7101);
    const PortChoice s = parsePortValue("socket://[::1]:65535");
    ASSERT_EQ(s.kind, Kind::socket);
    EXPECT_EQ(s.host, "::1");
    EXPECT_EQ(s.tcpPort, 65535);
    for (const char* bad : {"rfc2217://host", "rfc2217://:7101", "socket://h:0", "socket://h:65536", "socket://h:7x"})
        EXPECT_EQ(parsePortValue(bad).kind, Kind::invalid) << bad;
}

TEST(PortChoice, AnythingElseNamesNoPortAndSaysWhatWould) {
    EXPECT_EQ(parsePortValue("sim").kind, Kind::sim);
    for (const char* bad : {"SIM", "ttyUSB0", "dev/ttyS0", "tcp://h:1"}) {
        const PortChoice c = parsePortValue(bad);
        EXPECT_EQ(c.kind, Kind::invalid) << bad;
        EXPECT_NE(c.problem.find(std::string("BENCHCOM_PORT=") + bad), std::string::npos) << c.problem;
        EXPECT_NE(c.problem.find("usb:VVVV:PPPP"), std::string::npos) << c.problem;
    }
}

}  // namespace
}  // namespace bc::ports
