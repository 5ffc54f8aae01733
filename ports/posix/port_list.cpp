// The serial ports of a Linux machine, read from sysfs: every tty class
// device with hardware behind it, and for those on a USB device the identity
// the USB device reports. Terminals without a device (virtual consoles,
// pseudo-terminals) and the legacy ttyS slots that have no UART (the 8250
// driver registers them whether a chip answers or not; their type is 0) are
// left out.
#include "ports/port_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>

namespace bc::ports {

namespace {

namespace fs = std::filesystem;

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    return line;
}

bool isEmptyUartSlot(const fs::path& ttyDir) {
    std::error_code ec;
    return fs::exists(ttyDir / "type", ec) && firstLine(ttyDir / "type") == "0";
}

bool readHexId(const fs::path& file, uint16_t& id) {
    const std::string text = firstLine(file);
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    id = uint16_t(std::stoul(text, nullptr, 16));
    return true;
}

// The USB device a port belongs to is the nearest directory above its device
// that carries idVendor: the interface's parent for CDC-ACM, one level more
// for the usb-serial drivers, which put a port device under the interface.
void readUsbIdentity(const fs::path& device, PortInfo& info) {
    fs::path dir = device;
    for (int up = 0; up < 4 && dir.has_relative_path(); ++up, dir = dir.parent_path()) {
        std::error_code ec;
        if (!fs::exists(dir / "idVendor", ec)) continue;
        info.usb = readHexId(dir / "idVendor", info.vendor) && readHexId(dir / "idProduct", info.product);
        info.serial = firstLine(dir / "serial");
        info.manufacturer = firstLine(dir / "manufacturer");
        info.productText = firstLine(dir / "product");
        return;
    }
}

// The stable names udev gives USB serial ports, by the terminal they point at.
std::map<std::string, std::string> byIdLinks(const fs::path& root) {
    std::map<std::string, std::string> links;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root / "dev/serial/by-id", ec)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(entry.path(), linkError);
        if (!linkError) links[target.filename().string()] = "/dev/serial/by-id/" + entry.path().filename().string();
    }
    return links;
}

// ttyUSB2 before ttyUSB10.
bool naturalLess(const std::string& a, const std::string& b) {
    const size_t da = a.find_first_of("0123456789"), db = b.find_first_of("0123456789");
    if (a.substr(0, da) != b.substr(0, db) || da == std::string::npos || db == std::string::npos) return a < b;
    const std::string na = a.substr(da), nb = b.substr(db);
    return na.size() != nb.size() ? na.size() < nb.size() : na < nb;
}

}  // namespace

std::vector<PortInfo> listSerialPorts(const std::string& root) {
    const fs::path base = root.empty() ? fs::path("/") : fs::path(root);
    const auto links = byIdLinks(base);
    std::vector<PortInfo> ports;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(base / "sys/class/tty", ec)) {
        const fs::path tty = entry.path();
        std::error_code deviceError;
        const fs::path device = fs::canonical(tty / "device", deviceError);
        if (deviceError || isEmptyUartSlot(tty)) continue;
        PortInfo info;
        const std::string name = tty.filename().string();
        info.name = "/dev/" + name;
        readUsbIdentity(device, info);
        if (auto link = links.find(name); link != links.end()) info.byId = link->second;
        ports.push_back(info);
    }
    std::sort(ports.begin(), ports.end(),
              [](const PortInfo& a, const PortInfo& b) { return naturalLess(a.name, b.name); });
    return ports;
}

}  // namespace bc::ports
