#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

Each seed is a well-formed run of its target (the input layouts are given at
the top of each *_fuzz.cpp): real-looking replies arriving when the routines
read them, and the hostile cases worth starting from. Run it again after
changing a layout; the fuzzers grow their own corpora from these.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

SAMPLE_LEARN = (
    ":DISPlay:WAVeform 12340;ACCumulate 0;CONTrast 20;GRATicule 0;"
    ":CHANnel1:DISPlay 1;BWLimit 0;COUPling 0;INVert 0;OFFSet 2.000e+00;PROBe 0;SCALe 2.000e+00;"
    ":CHANnel2:DISPlay 1;BWLimit 0;COUPling 0;INVert 0;OFFSet 2.000e+00;PROBe 0;SCALe 2.000e+00;"
    ":CHANnel1:MATH 0;"
    ":TIMebase:SWEep 0;SCALe 2.500e-06;DELay 0.000e+00;WINDow:SCALe 2.500E-07;DELay 0.000E+00;"
    ":ACQuire:MODe 0;AVERage 0;"
    ":TRIGger:TYPe 0;SOURce 0;MODe 1;SLOP 0;COUPle 1;REJect 0;NREJ 0;LEVel 0.000E+00;"
    "PULSe:MODe: 0;TIMe 0.000E+00;"
    ":VIDeo:TYPe 1;POLarity 0;FIELd 0;LINe 0;"
    ":CURSor:SOURce 1;XDISPlay 0;X1Position 75;X2Position 175;YDISPlay 0;Y1Position 54;"
    "Y2Position 154;"
    ":REF1:DISPlay 0;LOCate 50;:REF2:DISPlay 0;LOCate -50;:RUN"
).encode()
assert len(SAMPLE_LEARN) == 678

GAPS = [0, 1, 50, 99, 100, 101, 250, 1500]


class Replies:
    """The reply pieces of queueReplies: bytes arriving at chosen times."""

    def __init__(self):
        self.out = bytearray()
        self.at = 0

    def _advance_to(self, t):
        # Empty pieces carry the time forward, largest pauses first.
        assert t >= self.at
        while self.at < t:
            gap = max(g for g in GAPS if g <= t - self.at)
            self.out += bytes([GAPS.index(gap), 0])
            self.at += gap

    def bytes_at(self, t, data):
        self._advance_to(t)
        for i in range(0, len(data), 255):
            chunk = data[i:i + 255]
            self.out += bytes([0, len(chunk)]) + chunk
        if not data:
            self.out += bytes([0, 0])

    def fill_at(self, t, length, value):
        self._advance_to(t)
        self.out += bytes([8]) + struct.pack(">H", length) + bytes([value])

    # scope_client's own pieces, in place of fill_at: bulk bytes, each 0x00
    # or 0xFF by the bits of a pattern.
    def block_at(self, t, head, pattern):
        """A whole waveform block: the 14 header bytes, then 8000 bulk
        bytes of `pattern` (one to sixteen bytes)."""
        self._advance_to(t)
        self.out += bytes([0x10]) + head + bytes([len(pattern) - 1]) + bytes(pattern)

    def bulk_at(self, t, length, pattern_byte):
        """`length` bulk bytes of a one-byte pattern."""
        self._advance_to(t)
        self.out += bytes([8]) + struct.pack(">H", length) + bytes([pattern_byte])


def block_head(period, channel):
    return b"#48008" + struct.pack(">f", period) + bytes([channel, 0, 0, 0])


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(bytes(data))


def learn_seeds():
    def seed(name, text, section=b"", key=b"", capture=False):
        write("learn_string", name,
              bytes([1 if capture else 0, len(section), len(key)]) + section + key + text)

    seed("sample_timebase_scale", SAMPLE_LEARN, b":TIM", b"SCAL")
    seed("sample_in_learn_buffer", SAMPLE_LEARN, b";:CHAN", b";BW", capture=True)
    seed("space_space", SAMPLE_LEARN, b" ", b" ")
    seed("no_terminator_700", (b"CHANnel1:SCALe2.000e+00" * 31)[:700], b"", b"", capture=True)
    seed("full_buffer_then_more", SAMPLE_LEARN + b";:PAD " + b"9" * 200, b":PAD", b" ", capture=True)
    seed("separator_at_end", b":CHANnel1:PROBe 1;SCALe 2.0e+00;", b":CHANnel1", b"PROB")
    seed("separators_in_a_row", b":TIM:SCAL 1e-3;;;DEL 5;;SWE 4", b":TIM", b"DEL")
    seed("embedded_nul", b":TIM:SCAL 1e-3;DEL\x005;SWE 4", b":TIM", b"SWE")
    seed("hostile_numbers",
         b":TRIG:LEV nan;:CHANnel1:PROBe inf;SCALe 1e30;OFFSet -5;:TIM:SWEep 3.99;DEL -inf",
         b":CHANnel1", b"SCAL")
    seed("odd_numbers", b":X:Y 0x1p3;Z -;W 1e;V .5;U 1e99999;T nan(12)", b":X", b"Z")


# scope_client: calls-1, then four plan bytes a call (operation, arguments).
QUERY, COUNT, SETUP, SINGLE, DUAL = 0, 3, 5, 6, 7
QUERY_TEXTS = ["*idn?", "*lrn?", ":SYST:ERR?", ":TRIG:FREQ?", ":TRIG:LEV?", ":CHAN1:PROB?",
               ":CHAN2:SCAL?", ":CHAN1:OFFS?", ":TIM:SWE?"]


def scope_seed(name, plan, replies):
    data = bytearray([len(plan) - 1])
    for call in plan:
        data += bytes((list(call) + [0, 0, 0, 0])[:4])
    write("scope_client", name, data + replies.out)


def query_replies(replies, read_at, answers):
    """One reply per query, sent while the query waits its 600 ms; the
    next query reads 700 ms later (its read ends 100 ms after the reply)."""
    for answer in answers:
        replies.bytes_at(read_at - 300, answer)
        read_at += 700


def scope_seeds():
    r = Replies()
    r.bytes_at(1, b" 2.000e+00\n")
    scope_seed("query_number", [(QUERY, 4)], r)

    r = Replies()
    r.bytes_at(1, b"BENCHCOM,SIM-SCOPE,SIM0001,V1.26\n")
    scope_seed("query_identity", [(QUERY, 0)], r)

    r = Replies()
    r.bulk_at(1, 1010, 0x5A)
    scope_seed("query_longer_than_999", [(QUERY, 6), (QUERY, 7)], r)

    r = Replies()
    r.bytes_at(1, b"nan\n")
    r.bytes_at(1000, b"-inf\n")
    scope_seed("query_nan_then_inf", [(QUERY, 5), (QUERY, 8)], r)

    r = Replies()
    r.bytes_at(0, b"ABCD")
    r.bytes_at(101, b"EFGH")
    r.bytes_at(202, b"IJ")
    scope_seed("count_rd_pieces", [(COUNT, 0, 10)], r)

    r = Replies()
    for i in range(8014 // 255 + 1):
        r.bulk_at(99 * i, min(255, 8014 - 255 * i), i)
    scope_seed("count_rd_block_99ms_pieces", [(COUNT, 8014 >> 8, 8014 & 0xFF)], r)

    # Reset and auto-set (600 ms each), then three queries.
    r = Replies()
    query_replies(r, 1200 + 600, [b"0,\"No error\"\n", b"BENCHCOM,SIM-SCOPE,SIM0001,V1.26\n",
                                  SAMPLE_LEARN[:200]])
    scope_seed("setup", [(SETUP,)], r)

    # A capture waits 600 ms before its counted read, then asks seven settings.
    settings = [b" 0.000e+00\n", b" 1\n", b" 2.000e+00\n", b" 2.000e+00\n", b" 2.500e-06\n",
                b" 0.000e+00\n", b" 0\n"]
    r = Replies()
    r.block_at(300, block_head(1e-8, 1), [0x0F, 0x3C])
    query_replies(r, 1200, settings)
    scope_seed("single_capture_channel1", [(SINGLE, 1)], r)

    # Samples at both ends of the 16-bit range plot lines 16 KB wide.
    r = Replies()
    r.bytes_at(300, block_head(2.5e-9, 2) + b"\x7f\xff\x80\x00" * 16)
    scope_seed("single_capture_channel2_widest_samples", [(SINGLE, 0, ord("2"))], r)

    scope_seed("single_capture_silent", [(SINGLE, 1)], Replies())

    # The file's name is taken: no settings are asked, the failure is said.
    r = Replies()
    r.block_at(300, block_head(1e-8, 1), [0x0F])
    scope_seed("single_capture_file_refused", [(SINGLE, 1, 0, 0x80 | 0x20)], r)

    r = Replies()
    r.bytes_at(0, SAMPLE_LEARN + b"\n")
    r.block_at(400, block_head(1e-8, 1), [0x0F, 0x3C])
    r.block_at(450, block_head(1e-8, 2), [0x55])
    scope_seed("dual_capture", [(DUAL, 1)], r)

    # The chart script's disk fills up after 6 KB; the CSV file is whole.
    r = Replies()
    r.bytes_at(0, SAMPLE_LEARN + b"\n")
    r.block_at(400, block_head(1e-8, 1), [0x0F, 0x3C])
    r.block_at(450, block_head(1e-8, 2), [0x55])
    scope_seed("dual_capture_chart_script_fills_up", [(DUAL, 1, 0, 0x80 | 0x40 | 3)], r)

    r = Replies()
    r.bytes_at(0, b"A" * 700 + b";:TAIL 1" * 40)
    r.block_at(600, block_head(1e-8, 1), [0])
    scope_seed("dual_capture_learn_fills_buffer", [(DUAL, 0)], r)

    # A device that never stops answering the learn request: 72 KB.
    r = Replies()
    for _ in range(8):
        r.bulk_at(0, 9000, 0)
    scope_seed("dual_capture_endless_learn", [(DUAL, 1)], r)

    r = Replies()
    r.bytes_at(0, b":CHANnel1:PROBe nan;SCALe inf;OFFSet -5;;:CHANnel2:SCALe 1e30;:TIM:SWEep 3.99;"
               b"DEL\x00 5;")
    r.bytes_at(800, block_head(float("nan"), 9)[:10])
    scope_seed("dual_capture_hostile", [(DUAL, 1)], r)

    # A query, a counted read and a capture from one stream of replies.
    r = Replies()
    r.bytes_at(1, b" 1.5\n")
    r.bytes_at(800, b"0123456789")
    r.bytes_at(1100, SAMPLE_LEARN[:300])
    r.block_at(2500, block_head(1e-6, 1), [1, 2, 4, 8])
    r.block_at(2600, block_head(1e-6, 2), [0xFF, 0])
    scope_seed("query_read_then_dual_capture", [(QUERY, 5), (COUNT, 0, 10), (DUAL, 1)], r)


# adapter: calls-1, then an operation byte and sixteen argument bytes a call.
OPS = dict(version=0, serial=1, io_mode=2, change_io_mode=3, cmd5a10=4, read5a12=5, set_pins=6,
           srf08=7, poll_panel=8, pattern=9, point=10, panel_text=11, word=12, xyz=13,
           le_bytes=14, raw=15, key_demo=16, circle_demo=17, walk_pins=18, sequence=19)


def i32(v):
    return struct.pack(">i", v)


def adapter_seed(name, calls, replies):
    data = bytearray([len(calls) - 1])
    for op, args in calls:
        data += bytes([OPS[op]]) + (bytes(args) + bytes(16))[:16]
    write("adapter", name, data + replies.out)


def adapter_seeds():
    def replies_of(*parts):
        r = Replies()
        for part in parts:
            r.bytes_at(1, part)
        return r

    adapter_seed("version", [("version", i32(0))], replies_of(b"\x07\x05\x40"))
    adapter_seed("version_silent", [("version", i32(-7))], Replies())
    adapter_seed("serial", [("serial", b"")], replies_of(b"0012345"))
    adapter_seed("io_modes", [("io_mode", i32(0)), ("change_io_mode", i32(0x110))],
                 replies_of(b"\xff\x00", b"\xff\x00"))
    adapter_seed("read5a12", [("read5a12", b"")], replies_of(b"\xff", bytes(range(8))))
    adapter_seed("cmd5a10_short", [("cmd5a10", i32(12))], Replies())
    adapter_seed("set_pins", [("set_pins", i32(0x10A))], replies_of(b"\xff"))
    adapter_seed("srf08", [("srf08", b"")], replies_of(b"\xff", b"\x0b\x12\x00\x64\x01\x2c"))
    adapter_seed("srf08_far", [("srf08", b"")], replies_of(b"\xff", b"\x0b\x12\xff\xff\xff\xff"))
    adapter_seed("poll_panel", [("poll_panel", i32(32))], replies_of(b"\x00\x05\x00\x00"))
    adapter_seed("pattern_then_point",
                 [("pattern", b""), ("point", i32(7) + i32(4) + i32(255) + b"\x40\x00")],
                 replies_of(b"\xff", b"\xff"))
    adapter_seed("panel_text", [("panel_text", i32(12) + struct.pack(">H", 20) + b"*")],
                 replies_of(b"\xff"))
    adapter_seed("panel_text_too_long", [("panel_text", i32(0) + struct.pack(">H", 255) + b"x")],
                 Replies())
    r = Replies()
    r.fill_at(1, 53, 0xFF)
    adapter_seed("word", [("word", i32(0x0C01))], r)
    adapter_seed("word_wide_silent", [("word", i32(-1))], Replies())
    r = Replies()
    r.fill_at(1, 53, 0xFF)
    adapter_seed("xyz", [("xyz", i32(7) + i32(7) + i32(0))], r)
    adapter_seed("xyz_out_of_range", [("xyz", i32(8) + i32(-1) + i32(0))], Replies())
    adapter_seed("le_bytes", [("le_bytes", i32(0x1234) + i32(-1))], Replies())
    adapter_seed("raw_counts", [("raw", i32(-5) + i32(1000))], replies_of(b"\x01" * 120))
    r = Replies()
    r.bytes_at(1, b"\xff")                 # the prompt
    r.bytes_at(1, b"\x00\x01\x00\x00")     # key 1 down
    r.fill_at(1, 4, 0xFF)                  # the greeting's four rows
    r.bytes_at(1, b"\x00\x05\x00\x00")     # key 3 down as well
    r.fill_at(1, 4, 0xFF)
    adapter_seed("key_demo", [("key_demo", b"")], r)
    r = Replies()
    r.fill_at(1, 8, 0xFF)
    adapter_seed("circle_demo", [("circle_demo", b"")], r)
    r = Replies()
    r.fill_at(1, 13, 0xFF)
    adapter_seed("walk_pins", [("walk_pins", b"")], r)
    r = Replies()
    r.fill_at(1, 4 + 53 * 4, 0xFF)
    adapter_seed("sequence", [("sequence", b"\x02" + i32(0x0801) + i32(0x0108) + i32(3))], r)


if __name__ == "__main__":
    learn_seeds()
    scope_seeds()
    adapter_seeds()
