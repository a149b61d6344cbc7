# Run by cpack before it builds the package (CPACK_PROJECT_CONFIG_FILE):
# fills in the Debian package's Depends field.
#
# dpkg-shlibdeps names the package of every shared library the program
# loads. SDL 1.2 comes out as libsdl1.2debian, which on Debian 12 is the
# classic SDL 1.2 while sdl12-compat's libsdl1.2-compat-shim only provides
# that name; apt would pick the classic one. The program is built against
# sdl12-compat (whose SDL12COMPAT_WINDOW_SCALING the manual page describes),
# so SDL 1.2 is asked for as "libsdl1.2-compat-shim | libsdl1.2debian": a
# clean system gets sdl12-compat, a system that already has the classic
# library keeps it. Without dpkg-shlibdeps the list below stands in.

if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

set(glimmer_sdl "libsdl1.2-compat-shim | libsdl1.2debian (>= 1.2.15)")
set(glimmer_ttf "libsdl-ttf2.0-0 (>= 2.0.11)")
set(glimmer_depends "libc6 (>= 2.34)" "libgcc-s1 (>= 3.0)" "libstdc++6 (>= 11)")

find_program(glimmer_shlibdeps dpkg-shlibdeps)
if(glimmer_shlibdeps AND EXISTS "${CPACK_GLIMMER_BINARY}")
  # dpkg-shlibdeps wants to run in a source tree with debian/control.
  set(work "${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps")
  file(REMOVE_RECURSE "${work}")
  file(MAKE_DIRECTORY "${work}/debian")
  file(WRITE "${work}/debian/control" "")
  execute_process(COMMAND "${glimmer_shlibdeps}" -O "${CPACK_GLIMMER_BINARY}"
    WORKING_DIRECTORY "${work}"
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  file(REMOVE_RECURSE "${work}")
  if(rc EQUAL 0 AND out MATCHES "^shlibs:Depends=(.*)$")
    string(REPLACE ", " ";" found "${CMAKE_MATCH_1}")
    set(glimmer_depends "")
    foreach(dep IN LISTS found)
      if(NOT dep MATCHES "^libsdl1\\.2debian( |$)" AND NOT dep MATCHES "^libsdl-ttf2\\.0-0( |$)")
        list(APPEND glimmer_depends "${dep}")
      endif()
    endforeach()
  else()
    message(WARNING "dpkg-shlibdeps failed (${rc}): ${err}; using the built-in Depends list")
  endif()
endif()

list(PREPEND glimmer_depends "${glimmer_sdl}" "${glimmer_ttf}")
# glimmerdeep-term, in the same package, needs ncursesw and its terminfo
# library (and none of SDL).
list(APPEND glimmer_depends "libncursesw6 (>= 6.1)" "libtinfo6 (>= 6.1)")
list(JOIN glimmer_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
