// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "led/max7219_sequences.h"

namespace bc {

const int segmentMasks[8] = {1, 2, 4, 8, 16, 32, 64, 128};

// Each sequence wakes the chip, sets the decode mode and then writes the
// eight digit registers from the leftmost (0x08) to the rightmost (0x01).
const int seqDigits[11] = {0x0C01, 0x09FF, 0x0801, 0x0702, 0x0603, 0x0504, 0x0405, 0x0306, 0x0207, 0x0108, -1};
const int seq2525[11] = {0x0C01, 0x09FF, 0x0802, 0x0705, 0x0602, 0x0505, 0x0402, 0x0305, 0x0202, 0x0105, -1};
const int seqError[11] = {0x0C01, 0x0900, 0x084F, 0x0705, 0x0605, 0x051D, 0x0405, 0x0300, 0x0200, 0x0100, -1};
const int seqBlank[11] = {0x0C01, 0x0900, 0x0800, 0x0700, 0x0600, 0x0500, 0x0400, 0x0300, 0x0200, 0x0100, -1};
const int seqZeros[11] = {0x0C01, 0x09FF, 0x0800, 0x0700, 0x0600, 0x0500, 0x0400, 0x0300, 0x0200, 0x0100, -1};
const int seqBars[11] = {0x0C01, 0x0900, 0x0848, 0x0748, 0x0648, 0x0548, 0x0448, 0x0348, 0x0248, 0x0148, -1};
const int seqWave[11] = {0x0C01, 0x0900, 0x0808, 0x0701, 0x0640, 0x0501, 0x0408, 0x031C, 0x021C, 0x011C, -1};
// The one element the other seven never light is the decimal point: Code B
// blank (0x0F) with bit 7 set shows a row of eight points, so a full run of
// the pattern demonstration has lit every segment and every point once.
const int seqPoints[11] = {0x0C01, 0x09FF, 0x088F, 0x078F, 0x068F, 0x058F, 0x048F, 0x038F, 0x028F, 0x018F, -1};

const int* const sequenceTable[kSequenceCount] = {seqDigits, seq2525, seqError, seqBlank,
                                                  seqZeros,  seqBars, seqWave,  seqPoints};
const char* const sequenceTableNames[kSequenceCount] = {"seqDigits", "seq2525", "seqError", "seqBlank",
                                                        "seqZeros",  "seqBars", "seqWave",  "seqPoints"};

}  // namespace bc
