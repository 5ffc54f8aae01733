#include "net/address.h"

namespace bc::net {

namespace {

constexpr char kRfc2217[] = "rfc2217://";
constexpr char kSocket[] = "socket://";

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// At most five digits, nothing else, and no more than 65535.
bool parsePortNumber(const std::string& text, uint16_t& port) {
    if (text.empty() || text.size() > 5) return false;
    unsigned long n = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return false;
        n = n * 10 + unsigned(ch - '0');
    }
    if (n > 65535) return false;
    port = uint16_t(n);
    return true;
}

}  // namespace

bool hasNetworkScheme(const std::string& text) { return startsWith(text, kRfc2217) || startsWith(text, kSocket); }

bool parseNetworkAddress(const std::string& text, NetworkAddress& address) {
    if (!hasNetworkScheme(text)) return false;
    const bool rfc2217 = startsWith(text, kRfc2217);
    const std::string rest = text.substr(rfc2217 ? sizeof kRfc2217 - 1 : sizeof kSocket - 1);
    const size_t colon = rest.rfind(':');
    if (colon == std::string::npos) return false;
    std::string host = rest.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    if (host.empty() || host.find_first_of("/[]") != std::string::npos) return false;
    uint16_t port = 0;
    if (!parsePortNumber(rest.substr(colon + 1), port)) return false;
    address = {rfc2217, host, port};
    return true;
}

}  // namespace bc::net
