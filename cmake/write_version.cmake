# Run as a script at every build: writes OUTPUT, the definition of
# bc::version(), from VERSION and, when SOURCE_DIR is a git checkout, the
# description of the commit it was built from. The file is rewritten only
# when the text changes, so an unchanged checkout recompiles nothing.
#   cmake -DVERSION=0.2.0 -DSOURCE_DIR=... -DOUTPUT=.../version.cpp -P write_version.cmake
set(text "${VERSION}")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(
    COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" describe --always --dirty
    OUTPUT_VARIABLE described OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed AND described)
    # The released number first, so that scripts can take the second word
    # of a --version line; the commit after it for bug reports.
    set(text "${VERSION} (git ${described})")
  endif()
endif()
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT [[
// Written by cmake/write_version.cmake at build time.
#include "platform/version.h"

const char* bc::version() { return "@text@"; }
]] @ONLY)
