# Installation and the Debian package.
#
# `cmake --install` lays the game out the way a desktop expects it:
#   games/glimmerdeep                                 the window program
#                                                     (GLIMMER_INSTALL_GAMESDIR)
#   share/applications/glimmerdeep.desktop            the launcher entry
#   share/icons/hicolor/{32x32,128x128,256x256}/apps/glimmerdeep.png
#   share/man/man6/glimmerdeep.6.gz                   the manual page
#   share/doc/glimmerdeep/copyright                   licences (machine-readable)
#   share/doc/glimmerdeep/changelog.gz                the release notes
# The icons are the window's own 32 x 32 lantern and nearest-neighbour
# enlargements of it, written by tools/icon_png.cpp and kept in data/icons/ so
# that a build needs nothing but the compiler (tests/packaging.cmake checks
# that they still match the icon compiled into the program).
#
# `cpack -G DEB` in the build folder turns the same install into
# glimmerdeep_<version>_<arch>.deb. Its dependencies are worked out at
# packaging time (cmake/packaging_depends.cmake): the C and C++ runtime from
# dpkg-shlibdeps, SDL 1.2 as sdl12-compat (libsdl1.2-compat-shim, which the
# program is built against and which honours SDL12COMPAT_WINDOW_SCALING) or
# Debian's classic libsdl1.2debian, and SDL_ttf 2 as libsdl-ttf2.0-0.

include(GNUInstallDirs)

# The icon writer: the picture comes from the host core's BMP image.
add_executable(glimmerdeep-icon-png ${CMAKE_SOURCE_DIR}/tools/icon_png.cpp)
target_link_libraries(glimmerdeep-icon-png PRIVATE glimmer_host_core)

set(GLIMMER_ICON_SIZES 32 128 256)

if(NOT TARGET glimmerdeep)
  return()
endif()

# A game's program goes where Debian's games section expects it: /usr/games
# in the package, PREFIX/games for `cmake --install` (both on Debian's PATH).
set(GLIMMER_INSTALL_GAMESDIR games CACHE STRING "Folder, under the prefix, of the game program")
install(TARGETS glimmerdeep RUNTIME DESTINATION ${GLIMMER_INSTALL_GAMESDIR})
# The terminal program goes beside it, in the same package.
if(TARGET glimmerdeep-term)
  install(TARGETS glimmerdeep-term RUNTIME DESTINATION ${GLIMMER_INSTALL_GAMESDIR})
endif()
install(FILES ${CMAKE_SOURCE_DIR}/data/glimmerdeep.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size ${GLIMMER_ICON_SIZES})
  install(FILES ${CMAKE_SOURCE_DIR}/data/icons/glimmerdeep-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME glimmerdeep.png)
endforeach()

# Debian ships manual pages and changelogs compressed with gzip -9n (no name
# or time stamp, so the file is the same on every build).
find_program(GLIMMER_GZIP gzip)
if(NOT GLIMMER_GZIP)
  message(FATAL_ERROR "gzip is needed to compress the manual page and the changelog")
endif()
set(man_page ${CMAKE_BINARY_DIR}/glimmerdeep.6.gz)
set(changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${man_page}
  COMMAND ${GLIMMER_GZIP} -9n -c ${CMAKE_SOURCE_DIR}/data/glimmerdeep.6 > ${man_page}
  DEPENDS ${CMAKE_SOURCE_DIR}/data/glimmerdeep.6
  COMMENT "Compressing the manual page")
add_custom_command(OUTPUT ${changelog}
  COMMAND ${GLIMMER_GZIP} -9n -c ${CMAKE_SOURCE_DIR}/data/changelog > ${changelog}
  DEPENDS ${CMAKE_SOURCE_DIR}/data/changelog
  COMMENT "Compressing the changelog")
add_custom_target(glimmerdeep-docs ALL DEPENDS ${man_page} ${changelog})
# Building only the game (as scripts/play.sh does) still leaves a tree that
# installs.
add_dependencies(glimmerdeep glimmerdeep-docs)
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_SOURCE_DIR}/data/copyright ${changelog}
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/glimmerdeep)

# The terminal program's manual page, compressed the same way.
if(TARGET glimmerdeep-term)
  set(term_man_page ${CMAKE_BINARY_DIR}/glimmerdeep-term.6.gz)
  add_custom_command(OUTPUT ${term_man_page}
    COMMAND ${GLIMMER_GZIP} -9n -c ${CMAKE_SOURCE_DIR}/data/glimmerdeep-term.6 > ${term_man_page}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/glimmerdeep-term.6
    COMMENT "Compressing the terminal program's manual page")
  add_custom_target(glimmerdeep-term-man ALL DEPENDS ${term_man_page})
  add_dependencies(glimmerdeep-term glimmerdeep-term-man)
  install(FILES ${term_man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endif()

# Installing (and so cpack) only copies what the build made: build first,
# then `cpack -G DEB`. Without this, cpack would first run `make all`, which
# in a tree of tests and benchmarks takes minutes and could replace test
# programs while the packaging test runs beside them.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glimmerdeep)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Glimmerdeep developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "menu-driven text adventure in an emulated text console")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Glimmerdeep developers <glimmerdeep@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The first demo edition of The Mystery of the Glimmerdeep: read a scene
in an 80 x 25, 16-colour text console window, type the number of a choice
and press Enter. Explore an abandoned mine, collect the letters its miners
left behind, survive a spider's lair, and carry your notes into Chapter 2
with the password shown at the end of Chapter 1.")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackGlimmerDepends.cmake)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/CPackGlimmerDepends.cmake
  CONTENT "set(CPACK_GLIMMER_BINARY \"$<TARGET_FILE:glimmerdeep>\")
include(\"${CMAKE_SOURCE_DIR}/cmake/packaging_depends.cmake\")
")
include(CPack)
