// What the port listers of both systems share: the line each port gets, and
// the choice of one port by its USB identity.
#include "ports/port_list.h"

namespace bc::ports {

std::string describePort(const PortInfo& p) {
    std::string line = p.name;
    if (!p.usb) return line + "  (not on a USB device)";
    line += "  " + usbSelectorText(p.vendor, p.product, p.serial);
    if (!p.manufacturer.empty()) line += "  \"" + p.manufacturer + "\"";
    if (!p.productText.empty()) line += "  \"" + p.productText + "\"";
    if (!p.byId.empty()) line += "  " + p.byId;
    return line;
}

std::vector<PortInfo> matchUsb(const std::vector<PortInfo>& all, const UsbSelector& s) {
    std::vector<PortInfo> found;
    for (const PortInfo& p : all)
        if (p.usb && p.vendor == s.vendor && p.product == s.product && (s.serial.empty() || p.serial == s.serial))
            found.push_back(p);
    return found;
}

namespace {

std::string namesOf(const std::vector<PortInfo>& ports) {
    std::string names;
    for (const PortInfo& p : ports)
        names += (names.empty() ? "" : ", ") + p.name + " " +
                 (p.usb ? usbSelectorText(p.vendor, p.product, p.serial) : "(not USB)");
    return names;
}

}  // namespace

std::string resolveUsb(const std::vector<PortInfo>& all, const UsbSelector& s, std::string& why) {
    const std::string wanted = usbSelectorText(s.vendor, s.product, s.serial);
    const std::vector<PortInfo> found = matchUsb(all, s);
    if (found.size() == 1) return found[0].name;
    if (found.empty()) {
        std::vector<PortInfo> usb;
        for (const PortInfo& p : all)
            if (p.usb) usb.push_back(p);
        why = wanted + " matches no serial port; " +
              (usb.empty() ? "no USB serial port is plugged in" : "the USB serial ports are " + namesOf(usb));
        return "";
    }
    bool serials = true;
    for (const PortInfo& p : found) serials = serials && !p.serial.empty();
    why = wanted + " matches " + std::to_string(found.size()) + " ports (" + namesOf(found) + "); " +
          (serials ? "add the serial number to choose one"
                   : "they have no serial numbers to tell them apart: choose one by its device");
    return "";
}

}  // namespace bc::ports
