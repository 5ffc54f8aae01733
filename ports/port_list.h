// The serial ports of this machine, with the USB identity of those that sit
// on a USB device, for choosing a port and for finding one by that identity.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ports/port_choice.h"

namespace bc::ports {

struct PortInfo {
    std::string name;  // what to give BENCHCOM_PORT: "/dev/ttyACM0", "COM5"
    bool usb = false;
    uint16_t vendor = 0, product = 0;
    std::string serial, manufacturer, productText;
    std::string byId;  // Linux: the stable /dev/serial/by-id/ link, if there is one
};

// The ports that have a device behind them, in name order. Linux reads sysfs
// under `root` ("" for the machine itself; tests give a fixture tree);
// Windows asks SetupAPI for the ports class and ignores `root`.
std::vector<PortInfo> listSerialPorts(const std::string& root = "");

// One line for a port, as --list-ports prints it (no line end).
std::string describePort(const PortInfo& port);

// The ports of `all` that the selector names: vendor and product equal, and
// the serial number too when the selector gives one.
std::vector<PortInfo> matchUsb(const std::vector<PortInfo>& all, const UsbSelector& selector);

// Resolves a usb: selector to the device to open. On failure returns "" and
// says why, naming the candidates.
std::string resolveUsb(const std::vector<PortInfo>& all, const UsbSelector& selector, std::string& why);

}  // namespace bc::ports
