#include "ports/port_choice.h"

#include <cctype>
#include <cstdio>

#include "net/address.h"

namespace bc::ports {

namespace {

constexpr char kValues[] =
    "give COMn, a device path, usb:VVVV:PPPP[:SERIAL], sim, rfc2217://HOST:PORT, socket://HOST:PORT, "
    "replay:FILE or replay-fast:FILE";

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// COM numbers from 10 on need the "\\.\" prefix on Windows, so every one
// gets it; on POSIX the n-th COM port is the n-th legacy UART.
std::string comDevice(int n) {
#ifdef _WIN32
    return "\\\\.\\COM" + std::to_string(n);
#else
    return "/dev/ttyS" + std::to_string(n - 1);
#endif
}

PortChoice invalid(const std::string& value, const std::string& why) {
    PortChoice c;
    c.kind = PortChoice::Kind::invalid;
    c.given = value;
    c.problem = "BENCHCOM_PORT=" + shownValue(value) + " " + why;
    return c;
}

// One to four hexadecimal digits, as USB ids are written.
bool parseHexId(const std::string& text, uint16_t& id) {
    if (text.empty() || text.size() > 4) return false;
    unsigned v = 0;
    for (char ch : text) {
        if (!std::isxdigit(static_cast<unsigned char>(ch))) return false;
        v = v * 16 + unsigned(std::isdigit(static_cast<unsigned char>(ch)) ? ch - '0' : std::tolower(ch) - 'a' + 10);
    }
    id = uint16_t(v);
    return true;
}

PortChoice parseUsb(const std::string& value) {
    const std::string rest = value.substr(4);
    const size_t colon = rest.find(':');
    const size_t second = colon == std::string::npos ? colon : rest.find(':', colon + 1);
    PortChoice c;
    c.kind = PortChoice::Kind::usb;
    c.given = value;
    const std::string product = colon == std::string::npos ? "" : rest.substr(colon + 1, second - colon - 1);
    if (!parseHexId(rest.substr(0, colon), c.usb.vendor) || !parseHexId(product, c.usb.product))
        return invalid(value,
                       "is not a USB identity: write usb:VVVV:PPPP or usb:VVVV:PPPP:SERIAL "
                       "with the vendor and product id in hexadecimal");
    if (second != std::string::npos) {
        c.usb.serial = rest.substr(second + 1);
        if (c.usb.serial.empty()) return invalid(value, "ends with an empty serial number");
    }
    return c;
}

// HOST:PORT after the scheme; a client needs a port to connect to, so 0 is
// no port here.
PortChoice parseNetwork(const std::string& value) {
    net::NetworkAddress address;
    const bool rfc2217 = startsWith(value, "rfc2217://");
    if (!net::parseNetworkAddress(value, address) || address.port == 0)
        return invalid(value, std::string("is not a network port: write ") + (rfc2217 ? "rfc2217://" : "socket://") +
                                  "HOST:PORT, the port a number from 1 to 65535");
    PortChoice c;
    c.kind = address.rfc2217 ? PortChoice::Kind::rfc2217 : PortChoice::Kind::socket;
    c.given = value;
    c.host = address.host;
    c.tcpPort = address.port;
    return c;
}

// replay:FILE and replay-fast:FILE, FILE a BENCHCOM_TRACE recording.
PortChoice parseReplay(const std::string& value, bool fast) {
    PortChoice c;
    c.kind = PortChoice::Kind::replay;
    c.given = value;
    c.fast = fast;
    c.device = value.substr(value.find(':') + 1);
    if (c.device.empty()) return invalid(value, "names no trace: write replay:FILE or replay-fast:FILE");
    return c;
}

}  // namespace

int comNumber(const std::string& name) {
    std::string s = startsWith(name, "\\\\.\\") ? name.substr(4) : name;
    if (s.size() < 4 || s.size() > 6) return 0;
    for (int i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(s[size_t(i)])) != "COM"[i]) return 0;
    if (s[3] == '0') return 0;
    int n = 0;
    for (size_t i = 3; i < s.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return 0;
        n = n * 10 + (s[i] - '0');
    }
    return n <= 255 ? n : 0;
}

std::string shownValue(const std::string& value) {
    // Longer than any device path or address a person types.
    constexpr size_t kShown = 80;
    bool plain = !value.empty() && value.size() <= kShown;
    for (unsigned char c : value) plain = plain && c > 0x20 && c < 0x7F && c != '"';
    if (plain) return value;
    std::string out = "\"" + escapedText(value.substr(0, kShown), true) + "\"";
    if (value.size() > kShown) out += "... (" + std::to_string(value.size()) + " bytes)";
    return out;
}

std::string escapedText(const std::string& text, bool quoting) {
    std::string out;
    for (unsigned char c : text) {
        if (quoting && (c == '"' || c == '\\')) {
            out += '\\';
            out += char(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", unsigned(c));
            out += hex;
        }
    }
    return out;
}

std::string usbSelectorText(uint16_t vendor, uint16_t product, const std::string& serial) {
    char ids[32];
    std::snprintf(ids, sizeof ids, "usb:%04x:%04x", unsigned(vendor), unsigned(product));
    return serial.empty() ? ids : ids + (":" + serial);
}

PortChoice parsePortValue(const std::string& value) {
    if (value == "sim") {
        PortChoice c;
        c.kind = PortChoice::Kind::sim;
        c.given = value;
        return c;
    }
    if (startsWith(value, "usb:")) return parseUsb(value);
    if (startsWith(value, "replay:")) return parseReplay(value, false);
    if (startsWith(value, "replay-fast:")) return parseReplay(value, true);
    if (net::hasNetworkScheme(value)) return parseNetwork(value);
    PortChoice c;
    c.given = value;
    if (int n = comNumber(value)) {
        c.device = comDevice(n);
        return c;
    }
#ifndef _WIN32
    if (startsWith(value, "/")) {
        c.device = value;
        return c;
    }
#endif
    return invalid(value, std::string("names no port: ") + kValues);
}

PortChoice choosePort(const char* win32Path, const char* benchcomPort) {
    const std::string path = win32Path ? win32Path : "";
    const int n = comNumber(path);
    if (n == 3 && benchcomPort && *benchcomPort) return parsePortValue(benchcomPort);
    PortChoice c;
    c.device = n ? comDevice(n) : path;
    return c;
}

}  // namespace bc::ports
