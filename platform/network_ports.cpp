#include "platform/port_kinds.h"

namespace bc::ports {

std::unique_ptr<Port> openNetworkPort(const PortChoice&, OpenError& error) {
    error = {ERROR_NOT_SUPPORTED, "network ports are not supported yet"};
    return nullptr;
}

}  // namespace bc::ports
