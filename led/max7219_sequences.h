// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// Register words for the MAX7219: the single-bit masks and the fixed register
// sequences. A word carries the register in bits 11..8 and the data in bits
// 7..0; a sequence ends with -1, which is never sent.
#pragma once

namespace bc {

// Entry n is the data byte with only bit n set.
extern const int segmentMasks[8];

extern const int seqDigits[11];  // Code B: 1 2 3 4 5 6 7 8
extern const int seq2525[11];    // Code B: 2 5 2 5 2 5 2 5
extern const int seqError[11];   // raw: E r r o r and three dark digits
extern const int seqBlank[11];   // every digit dark
extern const int seqZeros[11];   // Code B: 0 on every digit
extern const int seqBars[11];    // raw: top and bottom bar on every digit
extern const int seqWave[11];    // raw: bars stepping down and up, three loops
extern const int seqPoints[11];  // Code B: only the eight decimal points lit

// The sequences by pattern number: 0 seqDigits ... 6 seqWave, 7 seqPoints.
constexpr int kSequenceCount = 8;
extern const int* const sequenceTable[kSequenceCount];
extern const char* const sequenceTableNames[kSequenceCount];

}  // namespace bc
