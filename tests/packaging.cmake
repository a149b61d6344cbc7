# Installation and the Debian package (label `packaging`): the committed icon
# PNGs match the icon compiled into the program, `cmake --install` into a
# temporary prefix lays out the program, launcher entry, icons and manual
# page, and `cpack -G DEB` makes a package with the right control fields and
# files. Sanitizer builds leave them out: they package nothing anyone
# installs, and the checks test no code of their own.
if(GLIMMER_SANITIZE OR GLIMMER_TSAN OR NOT TARGET glimmerdeep
   OR NOT EXISTS ${CMAKE_SOURCE_DIR}/cmake/packaging.cmake)
  return()
endif()

set(check ${CMAKE_CURRENT_SOURCE_DIR}/packaging/check.sh)
add_test(NAME packaging.icons
  COMMAND ${check} icons $<TARGET_FILE:glimmerdeep-icon-png> ${CMAKE_SOURCE_DIR})
add_test(NAME packaging.install COMMAND ${check} install ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
add_test(NAME packaging.deb
  COMMAND ${check} deb ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR} ${PROJECT_VERSION})
set_tests_properties(packaging.icons packaging.install packaging.deb PROPERTIES
  LABELS packaging TIMEOUT 60)
