// The serial ports of a Windows machine: the present devices of the Ports
// class, as Device Manager shows them, with the USB identity read from the
// device instance id ("USB\VID_04D8&PID_FFEE\00012345"; FTDI's own driver
// writes "FTDIBUS\VID_0403+PID_6001+A1B2C3D4A\0000").
#include <windows.h>
// after windows.h:
#include <cfgmgr32.h>
#include <devguid.h>
#include <initguid.h>
#include <setupapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ports/port_list.h"

namespace bc::ports {

namespace {

std::string registryPortName(HDEVINFO set, SP_DEVINFO_DATA& info) {
    HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) return "";
    char name[64] = {};
    DWORD size = sizeof name - 1, type = 0;
    LONG r = RegQueryValueExA(key, "PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_SZ ? std::string(name) : "";
}

std::string property(HDEVINFO set, SP_DEVINFO_DATA& info, DWORD which) {
    char text[256] = {};
    if (!SetupDiGetDeviceRegistryPropertyA(set, &info, which, nullptr, reinterpret_cast<BYTE*>(text), sizeof text - 1,
                                           nullptr))
        return "";
    return text;
}

std::string instanceId(DEVINST devinst) {
    char id[MAX_DEVICE_ID_LEN + 1] = {};
    return CM_Get_Device_IDA(devinst, id, sizeof id - 1, 0) == CR_SUCCESS ? std::string(id) : "";
}

// Reads "VID_xxxx" and "PID_xxxx" out of an instance id, and the serial
// number that follows them; composite devices ("&MI_00") carry the serial
// number on their parent.
bool parseUsbId(const std::string& id, PortInfo& p) {
    const size_t v = id.find("VID_"), q = id.find("PID_");
    if (v == std::string::npos || q == std::string::npos) return false;
    p.vendor = uint16_t(std::strtoul(id.substr(v + 4, 4).c_str(), nullptr, 16));
    p.product = uint16_t(std::strtoul(id.substr(q + 4, 4).c_str(), nullptr, 16));
    const size_t after = q + 8;
    if (id.compare(0, 8, "FTDIBUS\\") == 0 && after < id.size() && id[after] == '+')
        p.serial = id.substr(after + 1, id.find('\\', after) - after - 1);
    else if (id.compare(0, 4, "USB\\") == 0 && id.find("&MI_") == std::string::npos)
        p.serial = id.substr(id.find('\\', after) + 1);
    if (p.serial.find('&') != std::string::npos) p.serial.clear();  // made up by Windows, not the device's
    return true;
}

PortInfo describe(HDEVINFO set, SP_DEVINFO_DATA& info, const std::string& name) {
    PortInfo p;
    p.name = name;
    std::string id = instanceId(info.DevInst);
    p.usb = parseUsbId(id, p);
    DEVINST parent = 0;
    if (p.usb && p.serial.empty() && CM_Get_Parent(&parent, info.DevInst, 0) == CR_SUCCESS) {
        PortInfo up;
        if (parseUsbId(instanceId(parent), up)) p.serial = up.serial;
    }
    if (p.usb) {
        p.manufacturer = property(set, info, SPDRP_MFG);
        p.productText = property(set, info, SPDRP_DEVICEDESC);
    }
    return p;
}

}  // namespace

std::vector<PortInfo> listSerialPorts(const std::string&) {
    std::vector<PortInfo> ports;
    HDEVINFO set = SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return ports;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
        const std::string name = registryPortName(set, info);
        if (comNumber(name)) ports.push_back(describe(set, info, name));  // not the printer ports
    }
    SetupDiDestroyDeviceInfoList(set);
    std::sort(ports.begin(), ports.end(),
              [](const PortInfo& a, const PortInfo& b) { return comNumber(a.name) < comNumber(b.name); });
    return ports;
}

}  // namespace bc::ports
