# Where the build finds its sources, by rule rather than by name:
# - a folder's sources are its *.cpp and those of its posix/ or windows/
#   subfolder, whichever is this system's;
# - a program's entry is main_<program>.cpp, in any folder, its name written
#   with underscores for dashes (main_benchcom_run.cpp is benchcom-run's), and
#   it belongs to no library. Every program is benchcom or benchcom-something,
#   so app/main_sequence.cpp, the main sequence itself, is no entry file.

if(WIN32)
  set(BENCHCOM_SYSTEM_DIR windows)
else()
  set(BENCHCOM_SYSTEM_DIR posix)
endif()

# benchcom_sources(VAR ROOT DIR...): the library sources of each DIR under ROOT.
function(benchcom_sources var root)
  set(found)
  foreach(dir ${ARGN})
    file(GLOB here CONFIGURE_DEPENDS ${root}/${dir}/*.cpp ${root}/${dir}/${BENCHCOM_SYSTEM_DIR}/*.cpp)
    list(APPEND found ${here})
  endforeach()
  list(FILTER found EXCLUDE REGEX "/main_benchcom[a-z_]*\\.cpp$")
  set(${var} ${found} PARENT_SCOPE)
endfunction()

# benchcom_program(NAME DIR): the executable NAME from DIR/main_NAME.cpp.
function(benchcom_program name dir)
  string(REPLACE "-" "_" stem ${name})
  set(entry ${CMAKE_SOURCE_DIR}/${dir}/main_${stem}.cpp)
  if(NOT EXISTS ${entry})
    message(FATAL_ERROR "${name}: no entry file ${dir}/main_${stem}.cpp")
  endif()
  add_executable(${name} ${entry})
endfunction()
