// CreateFileA's choice of port: the device model of a test when one is
// attached, else what BENCHCOM_PORT makes of the path. A port that cannot be
// opened is explained on standard error in one line (standard output keeps
// the routines' own failure messages), and every open goes into the trace.
#include "ports/open_chosen_port.h"

#include <cstdlib>

#include "net/open_network_port.h"
#include "platform/error_text.h"
#include "ports/explained_port.h"
#include "ports/local_port.h"
#include "ports/model_port.h"
#include "ports/port_list.h"
#include "ports/port_trace.h"
#include "ports/replay_port.h"
#include "ports/traced_port.h"

namespace bc::ports {

namespace {

struct Attempt {
    std::unique_ptr<Port> port;
    OpenError error;
    std::string device;  // what was tried, in words
};

// The device a COM name stands for, to say in messages.
std::string triedDevice(const PortChoice& c, const std::string& win32Path) {
    const std::string forPath = c.device == win32Path ? "" : " for " + win32Path;
    const std::string from = c.given.empty() ? "" : " (BENCHCOM_PORT=" + shownValue(c.given) + ")";
    switch (c.kind) {
    case PortChoice::Kind::local: return shownValue(c.device) + forPath + from;
    case PortChoice::Kind::sim: return "the simulated bench" + forPath + from;
    case PortChoice::Kind::invalid: return win32Path;
    default: return shownValue(c.given) + forPath;
    }
}

// On Windows the lister gives "COM5", which is opened as "\\.\COM5".
std::string deviceOf(const std::string& listedName) {
    return comNumber(listedName) && listedName.rfind("\\\\.\\", 0) != 0 ? "\\\\.\\" + listedName : listedName;
}

Attempt attempt(const PortChoice& c, const std::string& win32Path) {
    Attempt a;
    a.device = triedDevice(c, win32Path);
    switch (c.kind) {
    case PortChoice::Kind::local: a.port = openLocalPort(c.device, a.error); break;
    case PortChoice::Kind::usb: {
        std::string why;
        const std::string name = resolveUsb(listSerialPorts(), c.usb, why);
        if (name.empty()) {
            a.error = {ERROR_FILE_NOT_FOUND, why};
            break;
        }
        a.device += " (matched " + name + ")";
        a.port = openLocalPort(deviceOf(name), a.error);
        break;
    }
    case PortChoice::Kind::sim:
        if (seam::SimDevice* bench = seam::builtInBench())
            a.port = openModelPort(*bench, win32Path.c_str(), a.error);
        else
            a.error = {ERROR_NOT_SUPPORTED, "this program has no simulated bench built in"};
        break;
    case PortChoice::Kind::rfc2217:
    case PortChoice::Kind::socket: a.port = net::openNetworkPort(c, a.error); break;
    case PortChoice::Kind::replay: a.port = openReplayPort(c.device, c.fast, a.error); break;
    case PortChoice::Kind::invalid: a.error = {ERROR_INVALID_NAME, c.problem}; break;
    }
    if (!a.port && a.error.reason.empty()) a.error.reason = errorText(a.error.code);
    return a;
}

}  // namespace

std::unique_ptr<Port> openChosenPort(const char* win32Path, DWORD& error) {
    const std::string path = win32Path;
    PortTrace* trace = processTrace();
    forgetSystemReason();
    Attempt a;
    if (seam::SimDevice* model = seam::attachedDevice()) {
        a.device = path + " (a device model under test)";
        a.port = openModelPort(*model, win32Path, a.error);
        if (!a.port) a.error.reason = errorText(a.error.code);
    } else {
        a = attempt(choosePort(win32Path, std::getenv("BENCHCOM_PORT")), path);
        if (!a.port) sayCannotOpen(a.device, a.error.reason);
        if (a.port) a.port = explainedPort(std::move(a.port), a.device);
    }
    error = a.error.code;
    if (!a.port) {
        if (trace)
            trace->event("open " + a.device + ": failed, error " + std::to_string(error) + " (" + a.error.reason + ")");
        return nullptr;
    }
    if (!trace) return std::move(a.port);
    trace->event("open " + a.device);
    return tracedPort(std::move(a.port), *trace);
}

}  // namespace bc::ports
