#include "benchmarks/tool_port.h"

#include <cstdlib>

#include "benchmarks/clock.h"
#include "iss/adapter_interface.h"
#include "serial/com_port.h"

namespace bc::benchmarks {

bool openToolPort(const std::string& path) {
    setenv("BENCHCOM_PORT", path.c_str(), 1);
    return bc::openPort(9, 19200, 'N', '8') != nullptr;
}

void closeToolPort() { bc::closePort(9); }

Samples toolRoundTrips(int count) {
    Samples us;
    const uint8_t frame[2] = {iss::kCmdSetPins, 0};
    uint8_t reply = 0;
    for (int i = 0; i < count; ++i) {
        DWORD written = 0, got = 0;
        const int64_t t0 = nowNs();
        WriteFile(hPort, frame, 2, &written, nullptr);
        ReadFile(hPort, &reply, 1, &got, nullptr);
        const int64_t t = nowNs() - t0;
        if (got != 1) return {};
        us.push_back(double(t) / 1e3);
    }
    return us;
}

}  // namespace bc::benchmarks
