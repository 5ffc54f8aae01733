#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/posix/device_path.h"

namespace bc::posix {
namespace {

TEST(DevicePath, ComPortsMapToSerialDevicesAndCom3ToBenchcomPort) {
    unsetenv("BENCHCOM_PORT");
    EXPECT_EQ(devicePathFor("\\\\.\\COM3"), "/dev/ttyS2");
    EXPECT_EQ(devicePathFor("\\\\.\\COM1"), "/dev/ttyS0");
    EXPECT_EQ(devicePathFor("\\\\.\\COM12"), "/dev/ttyS11");
    EXPECT_EQ(devicePathFor("com4"), "/dev/ttyS3");
    setenv("BENCHCOM_PORT", "/dev/ttyACM0", 1);
    EXPECT_EQ(devicePathFor("\\\\.\\COM3"), "/dev/ttyACM0");
    EXPECT_EQ(devicePathFor("COM3"), "/dev/ttyACM0");
    EXPECT_EQ(devicePathFor("\\\\.\\COM2"), "/dev/ttyS1");
    setenv("BENCHCOM_PORT", "", 1);
    EXPECT_EQ(devicePathFor("\\\\.\\COM3"), "/dev/ttyS2");
    unsetenv("BENCHCOM_PORT");
}

TEST(DevicePath, OtherPathsAreTakenAsTheyAre) {
    EXPECT_EQ(devicePathFor("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(devicePathFor("\\\\.\\COM"), "\\\\.\\COM");
    EXPECT_EQ(devicePathFor("COM3x"), "COM3x");
    EXPECT_EQ(devicePathFor("\\\\.\\COM0"), "\\\\.\\COM0");
}

}  // namespace
}  // namespace bc::posix
