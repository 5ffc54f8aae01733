// Which device stands behind the COM port the routines open. The routines
// always open "\\.\COM3"; BENCHCOM_PORT chooses what that is, on both
// systems. Other COM numbers keep their usual meaning.
#pragma once

#include <cstdint>
#include <string>

namespace bc::ports {

struct UsbSelector {
    uint16_t vendor = 0;
    uint16_t product = 0;
    std::string serial;  // empty: any serial number
};

struct PortChoice {
    enum class Kind {
        local,    // a serial device of this machine, named in `device`
        usb,      // the one serial port of the USB device in `usb`
        sim,      // the simulated bench inside the process
        rfc2217,  // a port served over the network, with its line settings
        socket,   // raw bytes over TCP
        replay,   // a BENCHCOM_TRACE recording played back, the file in `device`
        invalid,  // a value that names no port; `problem` says why
    };
    Kind kind = Kind::local;
    std::string device;  // local: "/dev/ttyS2", "/dev/ttyACM0", "\\.\COM5"
    UsbSelector usb;
    std::string host;  // network kinds
    uint16_t tcpPort = 0;
    std::string problem;
    bool fast = false;  // replay: on a virtual clock, every wait passing at once
    // The BENCHCOM_PORT value this came from; empty when the variable did not
    // apply (not set, empty, or a COM number other than 3 was opened).
    std::string given;
};

// The choice for a path the routines open ("\\.\COM3", "COM3", or on POSIX
// a device path), given BENCHCOM_PORT's value (null when not set).
PortChoice choosePort(const char* win32Path, const char* benchcomPort);

// Parses one BENCHCOM_PORT value on its own.
PortChoice parsePortValue(const std::string& value);

// The number of "\\.\COMn" or "COMn" (any case, n from 1 to 255), or 0.
int comNumber(const std::string& name);

// A value as messages show it: as it is when it is plain printable text;
// else in double quotes, with every byte outside printable ASCII (and the
// quote and backslash) escaped, and a long one cut, its length said.
std::string shownValue(const std::string& value);

// `text` with every byte outside printable ASCII written as \xNN, so that it
// cannot drive the terminal it is read on; with `quoting`, the double quote
// and the backslash are escaped too.
std::string escapedText(const std::string& text, bool quoting);

// The usb: selector as it is written: "usb:04d8:ffee" or "usb:04d8:ffee:SERIAL".
std::string usbSelectorText(uint16_t vendor, uint16_t product, const std::string& serial);

}  // namespace bc::ports
