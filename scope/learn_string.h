// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// The oscilloscope's learn string: its whole set-up as one text of settings
// separated by ';', each a mnemonic path, a space and a value; a setting that
// begins with ':' starts a new command path from the root.
#pragma once

#include <cstdio>

namespace bc {

// A learn string as an instrument sends it: 678 characters, 52 settings.
extern const char sampleLearnString[];

// Finds `section` in `text`, then `key` from the start of that match on, then
// the first space from the start of the key match on; returns a pointer to
// that space (in front of the value), or null when any step finds nothing or
// `text` is null.
const char* lrnFindField(const char* text, const char* section, const char* key);

// The number after the field lrnFindField finds, or 0 when there is none.
float lrnGetFloat(const char* text, const char* section, const char* key);

// Writes the text one setting per line, indenting settings that do not begin
// with ':' by four spaces; to `out`, or to standard output when it is null.
// The text is changed while this runs and restored before it returns.
void lrnDump(FILE* out, char* text);

}  // namespace bc
