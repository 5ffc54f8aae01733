// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// Everything the tool says to the oscilloscope and everything it counts on
// hearing back, in one place: the client routines send these texts and the
// simulated instrument answers them, so the two cannot drift apart.
//
// Each command carries its own terminator, exactly as the instrument is sent
// it: the command channel adds nothing.
#pragma once

#include <cstddef>

namespace bc {

// ---- IEEE 488.2 common commands ----
inline constexpr char scopeCmdReset[] = "*RST\r";
inline constexpr char scopeCmdIdentify[] = "*idn?\r";    // read as a numeric query
inline constexpr char scopeCmdLearnQuery[] = "*lrn?\r";  // read as a numeric query
inline constexpr char scopeCmdLearnRead[] = "*LRN?\r";   // read as a counted learn string

// ---- set-up ----
inline constexpr char scopeCmdSystemError[] = ":SYST:ERR?\r";
inline constexpr char scopeCmdAutoset[] = ":AUT\r";
inline constexpr char scopeCmdInvertChannel2[] = ":chan2:inv 1\r";
inline constexpr char scopeCmdTriggerFrequency[] = ":TRIG:FREQ?\r";
inline constexpr char scopeCmdDisplayWaveform0[] = ":DISP:WAV 0\r";
inline constexpr char scopeCmdSingle[] = ":SINGLE\r";

// ---- time-base delay sweep: a printf format taking the delay in seconds ----
inline constexpr char scopeFmtTimebaseDelay[] = ":TIM:DEL %7.1E\r\n";

// ---- acquisition memory, answered with one waveform block ----
inline constexpr char scopeCmdMemory1[] = ":acquire1:memory?\r";
inline constexpr char scopeCmdMemory2[] = ":acquire2:memory?\r";

// ---- settings queries of the single-channel capture (line feed ends them) ----
inline constexpr char scopeQryTriggerLevel[] = ":TRIG:LEV?\n";
inline constexpr char scopeQryProbe1[] = ":CHAN1:PROB?\n";
inline constexpr char scopeQryProbe2[] = ":CHAN2:PROB?\n";
inline constexpr char scopeQryScale1[] = ":CHAN1:SCAL?\n";
inline constexpr char scopeQryScale2[] = ":CHAN2:SCAL?\n";
inline constexpr char scopeQryOffset1[] = ":CHAN1:OFFS?\n";
inline constexpr char scopeQryOffset2[] = ":CHAN2:OFFS?\n";
inline constexpr char scopeQryTimebaseScale[] = ":TIM:SCAL?\n";
inline constexpr char scopeQryTimebaseDelay[] = ":TIM:DEL?\n";
inline constexpr char scopeQryTimebaseSweep[] = ":TIM:SWE?\n";

// ---- replies relied on ----
// A numeric reply is text that starts with a number (white space first is
// fine), no longer than the one read that takes it, with no pause inside.
inline constexpr unsigned scopeQueryReadMax = 999;
inline constexpr unsigned scopeQueryBufferSize = scopeQueryReadMax + 1;

// The learn string is read with one counted read of this many bytes.
inline constexpr unsigned scopeLearnMax = 700;

// A memory request is answered with exactly one block of this layout:
//   0..5    header characters (an IEEE 488.2 definite-length header "#48008")
//   6..9    sampling period in seconds, IEEE 754 single, big-endian
//   10      channel number as a binary value (1 or 2)
//   11..13  reserved
//   14..    4000 samples, signed 16-bit big-endian: screen positions in
//           converter counts (below)
inline constexpr unsigned scopeBlockSize = 8014;
inline constexpr unsigned scopeBlockHeaderChars = 6;
inline constexpr unsigned scopeBlockIntervalAt = 6;
inline constexpr unsigned scopeBlockChannelAt = 10;
inline constexpr unsigned scopeBlockSamplesAt = 14;
inline constexpr unsigned scopeBlockSampleCount = 4000;
static_assert(scopeBlockSamplesAt + 2 * scopeBlockSampleCount == scopeBlockSize);

// What a sample means. The instrument counts 25 to a vertical division,
// from the screen's centre line, on both channels alike. The channel's
// vertical position (OFFSet, volts) moves the trace on the screen, so it is
// in the counts; with its scale (SCALe, volts per division) a sample reads
//   volts = counts x scale / 25 - position
// The instrument's manuals work an example: 0x001C = 28 at 0.5 V/div is
// 28 / 25 x 0.5 = 0.56 V. (The 50.0 in the chart script's display-offset
// lines is that script's own fixed text, not a fact about the samples.)
inline constexpr int scopeCountsPerDivision = 25;

// The channel selector of the captures: this character picks channel 1,
// every other value channel 2.
inline constexpr int scopeChannel1 = '1';
inline constexpr int scopeChannel2 = '2';

}  // namespace bc
