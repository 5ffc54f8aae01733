#!/usr/bin/python3
"""An independent client of benchcom-sim's network server: pyserial's own
rfc2217:// and socket:// (Debian's python3-serial). Asks the adapter for its
version, moves RTS and DTR and reads the lines back, sets a speed whose
bytes include 255, and prints what it saw, one observation a line.

usage: pyserial_client.py URL   (BENCHCOM_PORT when URL is "-")
"""
import os
import sys

import serial


def main():
    url = sys.argv[1] if sys.argv[1] != "-" else os.environ["BENCHCOM_PORT"]
    line = serial.serial_for_url(url, baudrate=19200, timeout=2)
    line.write(bytes([0x5A, 0x01]))
    print("version", line.read(3).hex())
    if url.startswith("rfc2217://"):
        for rts, dtr in ((False, False), (True, False), (False, True), (True, True)):
            line.rts, line.dtr = rts, dtr
            print(f"rts {int(rts)} dtr {int(dtr)}: cts {int(line.cts)} dsr {int(line.dsr)} cd {int(line.cd)}")
        line.baudrate = 0x1FFFF
        print("speed", line.baudrate)
    line.close()


main()
