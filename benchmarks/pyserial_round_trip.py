#!/usr/bin/python3
"""pyserial's side of the round-trip benchmark: one USB-ISS set-pins frame
(two bytes out, one byte back), repeated; prints each round trip in
nanoseconds, one a line.

usage: pyserial_round_trip.py PORT COUNT
PORT is a terminal's path or a URL pyserial opens (rfc2217://, socket://).
"""
import sys
import time

import serial


def main():
    path, count = sys.argv[1], int(sys.argv[2])
    line = serial.serial_for_url(path, 19200, timeout=1.0)
    frame = bytes([0x63, 0x00])
    times = []
    for _ in range(count):
        start = time.perf_counter_ns()
        line.write(frame)
        reply = line.read(1)
        end = time.perf_counter_ns()
        if len(reply) != 1:
            sys.exit("no reply from the adapter")
        times.append(end - start)
    line.close()
    print("\n".join(str(t) for t in times))


main()
