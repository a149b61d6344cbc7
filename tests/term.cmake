# glimmerdeep-term through a pseudo-terminal (tests/term/term_test.py, with
# the pyte terminal emulator of python3-pyte): the full-screen program's
# screens against the replay driver's, resizing, the ways out and the
# terminal they leave behind, and the line mode.
find_program(GLIMMER_PYTE_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(TARGET glimmerdeep-term AND TARGET glimmerdeep-replay AND GLIMMER_PYTE_PYTHON)
  set(term_test ${GLIMMER_PYTE_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/term/term_test.py
    $<TARGET_FILE:glimmerdeep-term> $<TARGET_FILE:glimmerdeep-replay>)
  file(GLOB term_keys CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/term/*.keys)
  foreach(keys ${term_keys})
    get_filename_component(name ${keys} NAME_WE)
    add_test(NAME term.screens.${name} COMMAND ${term_test} screens ${keys})
  endforeach()
  add_test(NAME term.resize COMMAND ${term_test} resize)
  add_test(NAME term.signals COMMAND ${term_test} signals)
  add_test(NAME term.hangup COMMAND ${term_test} hangup)
  add_executable(term_probe ${CMAKE_CURRENT_SOURCE_DIR}/term/term_probe.cpp)
  target_link_libraries(term_probe PRIVATE glimmer_host_term glimmer_game)
  add_test(NAME term.dialogs COMMAND ${term_test} dialogs $<TARGET_FILE:term_probe>)
  add_test(NAME term.plain COMMAND ${term_test} plain ${CMAKE_CURRENT_SOURCE_DIR}/term/plain_tour.txt)
  # No SDL in the terminal program: neither linked nor referenced.
  add_test(NAME term.no_sdl COMMAND sh -c
    "! ldd \"$1\" | grep -i sdl && ! nm -D --undefined-only \"$1\" | grep -i sdl"
    sh $<TARGET_FILE:glimmerdeep-term>)
  set_tests_properties(term.resize term.signals term.hangup term.dialogs term.plain term.no_sdl PROPERTIES LABELS term)
endif()
