#!/usr/bin/python3
"""An independent SCPI client of the oscilloscope, as a lab would write one:
PyVISA with its pure-Python back end (Debian's python3-pyvisa and
python3-pyvisa-py) over a raw TCP socket. It sets the time base and
channel 2's scale and position, reads each channel's scale and position
back, fetches each channel's memory block and converts its samples to volts
the instrument's way: 25 counts to a vertical division, counted from the
screen's centre line, with the position in the counts (volts = counts x
scale / 25 - position). It prints what it finds, one line a channel:

  ch1 period 1.250e-07 scale 2.000e+00 position 2.000e+00 amplitude 3.010 centre 0.000 frequency 50000.0

usage: pyvisa_scope_client.py URL   (socket://HOST:PORT; BENCHCOM_PORT when URL is "-")
"""
import os
import struct
import sys

import pyvisa

COUNTS_PER_DIVISION = 25
BLOCK_HEADER = b"#48008"  # IEEE 488.2 definite length: 4 digits, 8008 bytes follow
BLOCK_SIZE = 6 + 8008
SAMPLES = 4000


def open_scope(url):
    host, port = url[len("socket://"):].rsplit(":", 1)
    rm = pyvisa.ResourceManager("@py")
    return rm.open_resource(f"TCPIP::{host}::{port}::SOCKET", read_termination="\n",
                            write_termination="\n", timeout=5000)


def read_block(scope, channel):
    """The memory block: header, big-endian single sampling period, channel
    byte, three reserved bytes, 4000 big-endian signed 16-bit samples."""
    scope.write(f":acquire{channel}:memory?")
    raw = scope.read_bytes(BLOCK_SIZE)  # whole: a plain read would stop at a 0x0A sample byte
    if raw[:6] != BLOCK_HEADER or raw[10] != channel:
        sys.exit(f"channel {channel}: not a memory block: {raw[:14]!r}")
    (period,) = struct.unpack(">f", raw[6:10])
    return period, struct.unpack(f">{SAMPLES}h", raw[14:])


def rising_crossings(volts, period, level, band):
    """Times at which the signal rises through `level`, counted once it has
    been below level - band, so that noise near the level is one crossing."""
    times, armed = [], False
    for n in range(1, len(volts)):
        if volts[n - 1] < level - band:
            armed = True
        if armed and volts[n - 1] < level <= volts[n]:
            fraction = (level - volts[n - 1]) / (volts[n] - volts[n - 1])
            times.append((n - 1 + fraction) * period)
            armed = False
    return times


def measure(scope, channel):
    scale = float(scope.query(f":CHAN{channel}:SCAL?"))
    position = float(scope.query(f":CHAN{channel}:OFFS?"))
    period, counts = read_block(scope, channel)
    volts = [c * scale / COUNTS_PER_DIVISION - position for c in counts]
    top, bottom = max(volts), min(volts)
    centre = (top + bottom) / 2
    edges = rising_crossings(volts, period, centre, (top - bottom) / 10)
    frequency = (len(edges) - 1) / (edges[-1] - edges[0]) if len(edges) > 1 else 0.0
    print(f"ch{channel} period {period:.3e} scale {scale:.3e} position {position:.3e} "
          f"amplitude {(top - bottom) / 2:.3f} centre {centre:.3f} frequency {frequency:.1f}")


def main():
    url = sys.argv[1] if sys.argv[1] != "-" else os.environ["BENCHCOM_PORT"]
    scope = open_scope(url)
    # Half a millisecond on the screen: many periods to count. Channel 2
    # finer and moved down, so that the two channels differ in both.
    scope.write(":TIM:SCAL 5e-5")
    scope.write(":CHAN2:SCAL 0.5")
    scope.write(":CHAN2:OFFS -1")
    for channel in (1, 2):
        measure(scope, channel)
    scope.close()


main()
