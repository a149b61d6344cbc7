# Fails when a source file includes a layer it must not depend on:
#   runtime/  only runtime/
#   game/     runtime/ and game/
#   host/     runtime/ and host/; SDL only in host/sdl_* files, curses only
#             in host/term_* files (host/main.cpp and host/term_main.cpp,
#             the two programs' entries, put host and game together)
# Run as: cmake -DSOURCE_DIR=<root> -P check_layering.cmake
set(rules
  "runtime|host/|game/|tools/"
  "game|host/|tools/"
  "host|game/|tools/")
set(failures "")
foreach(rule ${rules})
  string(REPLACE "|" ";" parts "${rule}")
  list(GET parts 0 layer)
  list(SUBLIST parts 1 -1 forbidden)
  file(GLOB files "${SOURCE_DIR}/${layer}/*.cpp" "${SOURCE_DIR}/${layer}/*.h")
  foreach(f ${files})
    file(STRINGS "${f}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    get_filename_component(name "${f}" NAME)
    if("${layer}/${name}" STREQUAL "host/main.cpp")
      continue()
    endif()
    # The terminal program's entry may include the game, but no SDL.
    set(layers ${forbidden})
    if("${layer}/${name}" STREQUAL "host/term_main.cpp")
      set(layers "")
    endif()
    foreach(line ${includes})
      foreach(bad ${layers})
        if(line MATCHES "[<\"]${bad}")
          list(APPEND failures "${layer}/${name}: ${line}")
        endif()
      endforeach()
      # SDL and SDL_ttf belong to the window front end's own files.
      if(NOT name MATCHES "^sdl_" AND line MATCHES "[<\"](SDL/)?SDL[_a-z]*\\.h")
        list(APPEND failures "${layer}/${name}: ${line} (only host/sdl_* may use SDL)")
      endif()
      # curses belongs to the terminal front end's own files.
      if(NOT name MATCHES "^term_" AND line MATCHES "[<\"](ncursesw?/)?(n?curses|term|panel)\\.h")
        list(APPEND failures "${layer}/${name}: ${line} (only host/term_* may use curses)")
      endif()
    endforeach()
  endforeach()
endforeach()
if(failures)
  string(REPLACE ";" "\n  " text "${failures}")
  message(FATAL_ERROR "Include layering broken:\n  ${text}")
endif()
