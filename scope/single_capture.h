// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// One channel's acquisition memory saved as "./op_scope1.csv" or
// "./op_scope2.csv", with a settings head asked of the instrument query by
// query, and drawn as a text plot on the console.
#pragma once

namespace bc {

// `channel` '1' captures channel 1; any other value channel 2.
void scopeReadAquire(int fd, int channel);

}  // namespace bc
