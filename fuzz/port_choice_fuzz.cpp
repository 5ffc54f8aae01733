// BENCHCOM_PORT, whatever a person or a script puts in it: the value is read
// into a port choice or refused with a reason, a choice says only what the
// value said, and messages show the value in printable text only.
//
// Input: the value (up to the first NUL, as the environment holds it).
#include <string>

#include "fuzz/fuzz_support.h"
#include "ports/port_choice.h"

namespace {

using bc::fuzz::expect;
using bc::ports::PortChoice;
using Kind = PortChoice::Kind;

void expectSound(const std::string& value, const PortChoice& c) {
    expect(c.given == value, "a choice keeps the value it came from");
    switch (c.kind) {
    case Kind::invalid:
        expect(c.problem.find("BENCHCOM_PORT=" + bc::ports::shownValue(value)) == 0, "a refusal names the value");
        break;
    case Kind::local: expect(!c.device.empty(), "a local port names its device"); break;
    case Kind::usb: {
        // Written out again, the selector reads back the same.
        const std::string text = bc::ports::usbSelectorText(c.usb.vendor, c.usb.product, c.usb.serial);
        const PortChoice again = bc::ports::parsePortValue(text);
        expect(again.kind == Kind::usb && again.usb.vendor == c.usb.vendor && again.usb.product == c.usb.product &&
                   again.usb.serial == c.usb.serial,
               "a usb: selector reads back the same");
        break;
    }
    case Kind::rfc2217:
    case Kind::socket:
        expect(!c.host.empty() && c.tcpPort > 0, "a network port has a host and a port number");
        expect(value.find(c.host) != std::string::npos, "the host comes from the value");
        break;
    case Kind::sim: expect(value == "sim", "only sim is the bench inside"); break;
    case Kind::replay:
        expect(!c.device.empty() && value == (c.fast ? "replay-fast:" : "replay:") + c.device,
               "a replay names its trace after its prefix");
        break;
    }
}

// What messages show of a value drives no terminal and stays short, and a
// plain value is shown as it is.
void expectShownSafely(const std::string& value) {
    const std::string shown = bc::ports::shownValue(value);
    bool printable = true;
    for (unsigned char ch : shown) printable = printable && ch >= 0x20 && ch < 0x7F;
    expect(printable, "a value is shown in printable characters only");
    expect(shown.size() <= 4 * 80 + 40, "a value is shown cut to a sane length");
    bool plain = !value.empty() && value.size() <= 80;
    for (unsigned char ch : value) plain = plain && ch > 0x20 && ch < 0x7F && ch != '"';
    expect(!plain || shown == value, "a plain value is shown as it is");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // A value a person would type, and then some.
    bc::fuzz::startUp(argc, argv, {"-max_len=256"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const std::string raw(reinterpret_cast<const char*>(bytes), size);
    const std::string value = raw.substr(0, raw.find('\0'));
    expectSound(value, bc::ports::parsePortValue(value));
    expectShownSafely(value);
    const int n = bc::ports::comNumber(value);
    expect(n >= 0 && n <= 255, "a COM number is from 1 to 255, or none");
    const PortChoice c = bc::ports::choosePort("\\\\.\\COM3", value.c_str());
    if (!value.empty()) expectSound(value, c);
    return 0;
}
