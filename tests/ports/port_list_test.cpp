// Finding serial ports and USB adapters in sysfs-shaped trees laid out as
// Linux lays them out: a CDC-ACM adapter (the USB-ISS), usb-serial adapters
// (FTDI) one directory deeper, a PCI UART, an empty legacy 8250 slot and a
// virtual console.
#include "ports/port_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace bc::ports {
namespace {

namespace fs = std::filesystem;

class SysfsTree {
public:
    SysfsTree()
        : root_(fs::temp_directory_path() / ("sysfs-" + std::to_string(::getpid()) + "-" + std::to_string(next_++))) {
        fs::create_directories(root_ / "sys/class/tty");
        addTerminal("tty1", "", "");  // a virtual console: no device behind it
    }
    ~SysfsTree() { fs::remove_all(root_); }

    std::string root() const { return root_.string(); }

    // A USB device at `usbPath` under sys/devices, its attributes written
    // only where given.
    void addUsbDevice(const std::string& usbPath, const char* vendor, const char* product, const char* serial,
                      const char* maker, const char* name) {
        const fs::path dir = root_ / "sys/devices" / usbPath;
        fs::create_directories(dir);
        write(dir / "idVendor", vendor);
        write(dir / "idProduct", product);
        if (serial) write(dir / "serial", serial);
        if (maker) write(dir / "manufacturer", maker);
        if (name) write(dir / "product", name);
    }

    // A tty class device whose `device` link points at sys/devices/`devicePath`.
    void addTerminal(const std::string& name, const std::string& devicePath, const char* type) {
        const fs::path cls = root_ / "sys/devices" / (devicePath.empty() ? "virtual" : devicePath) / "tty" / name;
        fs::create_directories(cls);
        fs::create_directory_symlink(cls, root_ / "sys/class/tty" / name);
        if (!devicePath.empty()) fs::create_directory_symlink(root_ / "sys/devices" / devicePath, cls / "device");
        if (type) write(cls / "type", type);
    }

    void addByIdLink(const std::string& link, const std::string& tty) {
        fs::create_directories(root_ / "dev/serial/by-id");
        fs::create_symlink("../../" + tty, root_ / "dev/serial/by-id" / link);
    }

private:
    static void write(const fs::path& file, const char* text) { std::ofstream(file) << text << "\n"; }

    fs::path root_;
    static inline int next_ = 0;
};

const char kIss[] = "pci0000:00/0000:00:14.0/usb1/1-2";
const char kFtdiA[] = "pci0000:00/0000:00:14.0/usb1/1-3";
const char kFtdiB[] = "pci0000:00/0000:00:14.0/usb1/1-4";

// The bench as it usually is: the USB-ISS plus the machine's own UARTs.
void usualMachine(SysfsTree& t) {
    t.addUsbDevice(kIss, "04d8", "ffee", "00012345", "Devantech Ltd.", "USB-ISS.");
    t.addTerminal("ttyACM0", std::string(kIss) + "/1-2:1.0", nullptr);
    t.addByIdLink("usb-Devantech_Ltd._USB-ISS._00012345-if00", "ttyACM0");
    fs::create_directories(fs::path(t.root()) / "sys/devices/platform/serial8250");
    t.addTerminal("ttyS0", "platform/serial8250", "0");
    fs::create_directories(fs::path(t.root()) / "sys/devices/pci0000:00/0000:00:16.3");
    t.addTerminal("ttyS4", "pci0000:00/0000:00:16.3", "4");
}

// Two FTDI adapters of one make; the usb-serial driver puts a port device
// under the interface, so the USB device is two levels up.
void twoFtdi(SysfsTree& t, const char* serialA, const char* serialB) {
    t.addUsbDevice(kFtdiA, "0403", "6001", serialA, "FTDI", "FT232R USB UART");
    t.addUsbDevice(kFtdiB, "0403", "6001", serialB, "FTDI", "FT232R USB UART");
    fs::create_directories(fs::path(t.root()) / "sys/devices" / kFtdiA / "1-3:1.0/ttyUSB0");
    fs::create_directories(fs::path(t.root()) / "sys/devices" / kFtdiB / "1-4:1.0/ttyUSB1");
    t.addTerminal("ttyUSB1", std::string(kFtdiB) + "/1-4:1.0/ttyUSB1", nullptr);
    t.addTerminal("ttyUSB0", std::string(kFtdiA) + "/1-3:1.0/ttyUSB0", nullptr);
}

UsbSelector selector(uint16_t vendor, uint16_t product, const char* serial = "") { return {vendor, product, serial}; }

TEST(PortList, OneAdapterIsListedWithItsIdentityAndStableLink) {
    SysfsTree t;
    usualMachine(t);
    const auto ports = listSerialPorts(t.root());
    ASSERT_EQ(ports.size(), 2u);  // not the empty 8250 slot, not the console
    EXPECT_EQ(describePort(ports[0]),
              "/dev/ttyACM0  usb:04d8:ffee:00012345  \"Devantech Ltd.\"  \"USB-ISS.\"  "
              "/dev/serial/by-id/usb-Devantech_Ltd._USB-ISS._00012345-if00");
    EXPECT_EQ(describePort(ports[1]), "/dev/ttyS4  (not on a USB device)");
    std::string why;
    EXPECT_EQ(resolveUsb(ports, selector(0x04d8, 0xffee), why), "/dev/ttyACM0");
    EXPECT_EQ(resolveUsb(ports, selector(0x04d8, 0xffee, "00012345"), why), "/dev/ttyACM0");
    EXPECT_EQ(resolveUsb(ports, selector(0x04d8, 0xffee, "99"), why), "");
    EXPECT_NE(why.find("the USB serial ports are /dev/ttyACM0 usb:04d8:ffee:00012345"), std::string::npos) << why;
}

TEST(PortList, TwoIdenticalAdaptersAreToldApartByTheirSerialNumbers) {
    SysfsTree t;
    twoFtdi(t, "A10K1", "A10K2");
    const auto ports = listSerialPorts(t.root());
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].name, "/dev/ttyUSB0");  // the USB device is found two levels up
    EXPECT_EQ(ports[0].serial, "A10K1");
    std::string why;
    EXPECT_EQ(resolveUsb(ports, selector(0x0403, 0x6001), why), "");
    EXPECT_NE(why.find("matches 2 ports (/dev/ttyUSB0 usb:0403:6001:A10K1, /dev/ttyUSB1 usb:0403:6001:A10K2)"),
              std::string::npos)
        << why;
    EXPECT_NE(why.find("add the serial number"), std::string::npos) << why;
    EXPECT_EQ(resolveUsb(ports, selector(0x0403, 0x6001, "A10K2"), why), "/dev/ttyUSB1");
}

TEST(PortList, TwoIdenticalAdaptersWithoutSerialNumbersCannotBeChosenByIdentity) {
    SysfsTree t;
    twoFtdi(t, nullptr, nullptr);
    const auto ports = listSerialPorts(t.root());
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(describePort(ports[1]), "/dev/ttyUSB1  usb:0403:6001  \"FTDI\"  \"FT232R USB UART\"");
    std::string why;
    EXPECT_EQ(resolveUsb(ports, selector(0x0403, 0x6001), why), "");
    EXPECT_NE(why.find("no serial numbers"), std::string::npos) << why;
}

TEST(PortList, NoPortsAtAll) {
    SysfsTree t;
    EXPECT_TRUE(listSerialPorts(t.root()).empty());
    std::string why;
    EXPECT_EQ(resolveUsb({}, selector(0x04d8, 0xffee), why), "");
    EXPECT_NE(why.find("usb:04d8:ffee matches no serial port; no USB serial port is plugged in"), std::string::npos)
        << why;
}

}  // namespace
}  // namespace bc::ports
