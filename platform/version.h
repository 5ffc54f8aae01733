// The tool's version, for --version lines and the port trace.
#pragma once

namespace bc {

// The released number, e.g. "0.2.0"; built from a git checkout, followed by
// the commit it was built from: "0.2.0 (git d68ca1a)", "-dirty" appended
// when the checkout had changes.
const char* version();

}  // namespace bc
