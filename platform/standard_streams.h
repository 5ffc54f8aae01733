// Standard input, output and error, which a program may be started without
// (`benchcom-run issVersion >&-`). The system gives every new descriptor
// the lowest number free, so the first port or capture file the program
// opened would become its standard output, and the console's text would go
// down the serial line or into the capture. Each missing one is opened on
// the null device before anything else is.
#pragma once

namespace bc {

// Called first in every program.
void openMissingStandardStreams();

}  // namespace bc
