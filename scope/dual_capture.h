// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// Both channels in one capture: the learn string read once and every
// setting taken from it, then channel 1's and channel 2's memory, saved as
// "./op_scope.csv" (learn string, settings head, both channels per row) and
// as the chart script "./gbookFtemp.js" (one gbF call per sample).
#pragma once

namespace bc {

// `channel` decides only the Source line of the CSV file ('1' channel 1,
// any other value channel 2); both channels are always captured.
void scopeReadDual(int fd, int channel);

}  // namespace bc
