# What `cmake --install` puts where, and the packages cpack makes of it: a
# .deb on Linux (installing into /usr), a zip from the Windows cross-build.

if(WIN32)
  # The zip: the programs at the top, the viewer beside them, README as a
  # Windows text file.
  install(TARGETS benchcom benchcom-run RUNTIME DESTINATION .)
  install(DIRECTORY viewer/ DESTINATION viewer)
  file(READ ${CMAKE_SOURCE_DIR}/README.md readme)
  string(REPLACE "\n" "\r\n" readme "${readme}")
  file(WRITE ${CMAKE_BINARY_DIR}/README.txt "${readme}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/README.md)
  install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
else()
  install(TARGETS benchcom benchcom-run benchcom-sim benchcom-bench
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(DIRECTORY viewer/ DESTINATION ${CMAKE_INSTALL_DATADIR}/benchcom/viewer)
  install(FILES benchmarks/pyserial_round_trip.py DESTINATION ${CMAKE_INSTALL_DATADIR}/benchcom)
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  foreach(page benchcom benchcom-run benchcom-sim)
    install(FILES ${CMAKE_BINARY_DIR}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
  # Where bash-completion looks for a command's completion when it is first
  # completed (/usr/share/..., or ~/.local/share/... for a prefix of ~/.local).
  install(FILES ${CMAKE_BINARY_DIR}/completion/benchcom-run
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endif()

set(CPACK_PACKAGE_NAME benchcom)
set(CPACK_PACKAGE_CONTACT "Seed ffc3a2f1 maintainers <maintainers@users.noreply.c-seed-ffc3a2f1.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "bench oscilloscope, USB-ISS adapter and MAX7219 display over one serial port")
set(CPACK_PACKAGE_DESCRIPTION
  "benchcom talks to bench hardware over one serial port: an oscilloscope
that takes SCPI-style text commands (set-up sequences, queries, waveform
captures saved as CSV files and a chart script), a USB-ISS adapter with an
SRF08 range finder, a text panel with keypad and a plot device on its I2C
bus, and an eight-digit LED display whose MAX7219 driver is clocked through
the adapter's pins.
.
It comes with benchcom-run, which runs any one of its device routines,
benchcom-sim, a simulated bench to try them on without hardware, a browser
viewer for the captures, and benchcom-bench, its benchmarks.")
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
  # The libraries' packages, as dpkg-shlibdeps finds them from the programs.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # benchcom-bench compares the tool with pyserial when it is there.
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS python3-serial)
endif()
include(CPack)
