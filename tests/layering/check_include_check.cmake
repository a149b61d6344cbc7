# Plants one forbidden include at a time into a copy of the layers and
# expects cmake/check_layering.cmake to fail on each, and to pass on the
# unchanged copy.
set(check ${SOURCE_DIR}/cmake/check_layering.cmake)
function(run_check expect_ok what)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${WORK_DIR} -P ${check}
    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
  if(expect_ok AND NOT rc EQUAL 0)
    message(FATAL_ERROR "the check rejects ${what}:\n${err}")
  elseif(NOT expect_ok AND rc EQUAL 0)
    message(FATAL_ERROR "the check accepts ${what}")
  endif()
endfunction()

set(plants
  "runtime/planted.h|#include \"host/host_core.h\""
  "runtime/planted.cpp|#include \"game/game.h\""
  "runtime/planted.h|#include \"tools/replay/replay_driver.h\""
  "game/planted.cpp|#include \"host/keyboard.h\""
  "game/planted.h|#include \"tools/replay/replay_driver.h\""
  "host/planted.cpp|#include \"game/game.h\""
  "host/planted.h|#include <SDL.h>"
  "runtime/planted.cpp|#  include <SDL/SDL_keysym.h>")
file(REMOVE_RECURSE ${WORK_DIR})
foreach(layer runtime game host)
  file(COPY ${SOURCE_DIR}/${layer} DESTINATION ${WORK_DIR})
endforeach()
run_check(TRUE "the real tree")
foreach(plant ${plants})
  string(FIND "${plant}" "|" bar)
  string(SUBSTRING "${plant}" 0 ${bar} file)
  math(EXPR start "${bar} + 1")
  string(SUBSTRING "${plant}" ${start} -1 line)
  file(WRITE ${WORK_DIR}/${file} "${line}\n")
  run_check(FALSE "${file}: ${line}")
  file(REMOVE ${WORK_DIR}/${file})
endforeach()
message(STATUS "every planted include was rejected")
