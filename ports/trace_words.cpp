#include "ports/trace_words.h"

#include <cstdio>

#include "platform/error_text.h"

namespace bc::ports {

std::string failureWords(DWORD code) {
    return ": failed, error " + std::to_string(code) + " (" + errorText(code) + ")";
}

std::string escapeWords(DWORD func) {
    static const char* const names[] = {"SETXOFF", "SETXON",   "SETRTS",   "CLRRTS",  "SETDTR",
                                        "CLRDTR",  "RESETDEV", "SETBREAK", "CLRBREAK"};
    if (func >= SETXOFF && func <= CLRBREAK) return names[func - SETXOFF];
    return std::to_string(func);
}

std::string modemWords(DWORD s) {
    std::string w;
    if (s & MS_CTS_ON) w += " CTS";
    if (s & MS_DSR_ON) w += " DSR";
    if (s & MS_RING_ON) w += " RING";
    if (s & MS_RLSD_ON) w += " RLSD";
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", unsigned(s));
    return hex + (w.empty() ? std::string(" (no line up)") : " (" + w.substr(1) + ")");
}

std::string purgeWords(DWORD flags) {
    std::string w;
    if (flags & PURGE_TXABORT) w += " TXABORT";
    if (flags & PURGE_RXABORT) w += " RXABORT";
    if (flags & PURGE_TXCLEAR) w += " TXCLEAR";
    if (flags & PURGE_RXCLEAR) w += " RXCLEAR";
    if (const DWORD other = flags & ~(PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR)) {
        char hex[16];
        std::snprintf(hex, sizeof hex, " 0x%X", unsigned(other));
        w += hex;
    }
    return w.empty() ? " (nothing)" : w;
}

std::string timeoutWords(const COMMTIMEOUTS& t) {
    auto ms = [](DWORD v) { return std::to_string(v) + " ms"; };
    return "read interval " + (t.ReadIntervalTimeout == MAXDWORD ? "MAXDWORD" : ms(t.ReadIntervalTimeout)) +
           ", read total " + ms(t.ReadTotalTimeoutMultiplier) + "/byte + " + ms(t.ReadTotalTimeoutConstant) +
           ", write total " + ms(t.WriteTotalTimeoutMultiplier) + "/byte + " + ms(t.WriteTotalTimeoutConstant);
}

}  // namespace bc::ports
