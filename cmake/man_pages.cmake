# The manual pages, in roff with the man macros (what man-db renders), built
# into build/man/ and installed gzipped as Debian keeps them. benchcom-run's
# list of routines is written from its own routine table by man/routine_list,
# so --help and the page cannot disagree; so is its bash completion.
if(WIN32)
  return()
endif()

add_executable(benchcom-routine-list man/routine_list.cpp)
target_link_libraries(benchcom-routine-list PRIVATE benchcom_routines)

# Sections two pages share, kept once.
foreach(part port_environment dialout)
  string(TOUPPER ${part} var)
  file(READ man/${part}.roff ${var})
  string(STRIP "${${var}}" ${var})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/man/${part}.roff)
endforeach()

set(MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(MAN_PAGES)
foreach(page benchcom benchcom-run benchcom-sim)
  configure_file(man/${page}.1.in ${MAN_DIR}/${page}.1.in @ONLY)
  set(page_in ${MAN_DIR}/${page}.1.in)
  set(page_out ${MAN_DIR}/${page}.1)
  if(page STREQUAL "benchcom-run")
    add_custom_command(OUTPUT ${page_out}
      COMMAND benchcom-routine-list ${page_in} ${page_out}
      DEPENDS ${page_in} benchcom-routine-list
      COMMENT "Manual page ${page}(1) with the routine table"
      VERBATIM)
  else()
    add_custom_command(OUTPUT ${page_out}
      COMMAND ${CMAKE_COMMAND} -E copy ${page_in} ${page_out}
      DEPENDS ${page_in}
      VERBATIM)
  endif()
  add_custom_command(OUTPUT ${page_out}.gz
    COMMAND gzip -9nf -k ${page_out}
    DEPENDS ${page_out}
    VERBATIM)
  list(APPEND MAN_PAGES ${page_out} ${page_out}.gz)
endforeach()

# benchcom-run's bash completion, from the same table.
set(COMPLETION ${CMAKE_BINARY_DIR}/completion/benchcom-run)
add_custom_command(OUTPUT ${COMPLETION}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/completion
  COMMAND benchcom-routine-list --bash ${CMAKE_SOURCE_DIR}/tools/benchcom-run.bash.in ${COMPLETION}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/benchcom-run.bash.in benchcom-routine-list
  COMMENT "Bash completion for benchcom-run with the routine table"
  VERBATIM)
add_custom_target(man_pages ALL DEPENDS ${MAN_PAGES} ${COMPLETION})
