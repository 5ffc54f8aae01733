#include "benchmarks/tool_port.h"

#include <cstdlib>

#include "serial/port.h"

namespace bc::benchmarks {

bool openToolPort(const std::string& path) {
    setenv("BENCHCOM_PORT", path.c_str(), 1);
    return bc::openPort(9, 19200, 'N', '8') != nullptr;
}

void closeToolPort() { bc::closePort(9); }

}  // namespace bc::benchmarks
