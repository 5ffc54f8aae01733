// The port trace's words for each call, shared by the traced port that
// writes them and the replay that reads them back and says what a program
// did instead.
#pragma once

#include <string>

#include "platform/win32_api.h"

namespace bc::ports {

// ": failed, error 5 (access denied)": what follows a call that failed.
std::string failureWords(DWORD code);
// "SETRTS", ..., or the number of a function Windows does not define.
std::string escapeWords(DWORD func);
// "0x0030 (CTS DSR)", or "0x0000 (no line up)".
std::string modemWords(DWORD status);
// " TXCLEAR RXCLEAR", " (nothing)"; bits without a name in hexadecimal.
std::string purgeWords(DWORD flags);
// "read interval 100 ms, read total 1 ms/byte + 100 ms, write total 1 ms/byte + 5 ms".
std::string timeoutWords(const COMMTIMEOUTS& t);

}  // namespace bc::ports
