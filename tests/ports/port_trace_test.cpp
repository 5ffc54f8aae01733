// The port trace, line for line, on a simulated device in virtual time.
#include "ports/port_trace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/error_text.h"
#include "platform/version.h"
#include "ports/model_port.h"
#include "ports/traced_port.h"
#include "testkit/seam_harness.h"

namespace bc::ports {
namespace {

std::string contents(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string text;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
    return text;
}

TEST(PortTrace, EveryCallAndByteInWords) {
    sim::SeamHarness bench;
    forgetSystemReason();  // the words for a code must be its own, not an earlier test's
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        PortTrace trace(file, false);
        OpenError error;
        auto port = tracedPort(openModelPort(bench.port, "\\\\.\\COM3", error), trace);
        DCB dcb = bench.port.dcb;
        dcb.BaudRate = 19200;
        dcb.fDtrControl = DTR_CONTROL_DISABLE;
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
        port->setState(dcb);
        COMMTIMEOUTS t{100, 1, 100, 1, 5};
        port->setTimeouts(t);
        const std::string sent = std::string("*LRN?\r\0\xFF\x5A\x01", 10) + "0123456789";
        DWORD n = 0;
        port->write(reinterpret_cast<const uint8_t*>(sent.data()), DWORD(sent.size()), n);
        bench.port.send("\x07\x02\x40", 5);
        uint8_t reply[4];
        port->read(reply, 4, n);  // 3 bytes by 5 ms; the total of 104 ms ends it
        port->read(reply, 2, n);  // nothing within 102 ms
        port->escape(SETRTS);
        port->modemStatus(n);  // the loopback plug: RTS shows as CTS
        bench.port.escapeError = ERROR_INVALID_FUNCTION;
        port->escape(SETDTR);
        port->release();
    }
    const std::string header = std::string("# benchcom_tests ") + version() +
                               " port trace, format 1: seconds since the port was first opened; > sent, < received\n";
    EXPECT_EQ(contents(file),
              header +
                  "   0.000000  SetCommState 19200 baud 8N1, DTR off, RTS off, no flow control\n"
                  "   0.000000  SetCommTimeouts read interval 100 ms, read total 1 ms/byte + 100 ms, write total "
                  "1 ms/byte + 5 ms\n"
                  "   0.000000  > 2a 4c 52 4e 3f 0d 00 ff 5a 01 30 31 32 33 34 35  *LRN?...Z.012345\n"
                  "             > 36 37 38 39                                      6789\n"
                  "   0.104000  < 07 02 40                                         ..@               (3 of 4)\n"
                  "   0.206000  ReadFile of 2 bytes: nothing came\n"
                  "   0.206000  EscapeCommFunction SETRTS\n"
                  "   0.206000  GetCommModemStatus 0x0010 (CTS)\n"
                  "   0.206000  EscapeCommFunction SETDTR: failed, error 1 (the device cannot do that (it has no "
                  "modem-control lines))\n"
                  "   0.206000  close\n");
    std::fclose(file);
}

}  // namespace
}  // namespace bc::ports
