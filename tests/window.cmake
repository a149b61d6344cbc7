# The event loop on SDL's dummy video driver (no X server needed), also run
# under the sanitizers and ThreadSanitizer. Its label must not contain
# "window": the sanitizer runs leave out the window label.
add_executable(sdl_loop_tests ${CMAKE_CURRENT_SOURCE_DIR}/window/loop_test.cpp)
target_link_libraries(sdl_loop_tests PRIVATE glimmer_host_sdl glimmer_game GTest::gtest
  GTest::gtest_main)
gtest_discover_tests(sdl_loop_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "sdl_loop;threads"
  TIMEOUT 60)
if(TARGET host_tests)
  add_test(NAME host.dialog_threads COMMAND host_tests --gtest_filter=DialogChannel.*)
  set_tests_properties(host.dialog_threads PROPERTIES LABELS threads)
endif()

# End-to-end tests of the window program under a virtual X server (label
# `window`): the real SDL window, keys typed with xdotool, the screen read
# back from the X server, the close button sent as a window-manager message.
# The scripts are tests/window/test_*.sh; run.sh gives each an Xvfb server
# of its own and skips (loudly) when Xvfb or xdotool is missing.
find_package(X11)
if(NOT X11_FOUND)
  message(WARNING "X11 development files missing: window tests not built")
  return()
endif()

add_executable(window_probe ${CMAKE_CURRENT_SOURCE_DIR}/window/window_probe.cpp)
target_link_libraries(window_probe PRIVATE glimmer_host_sdl glimmer_game)

add_executable(xprobe ${CMAKE_CURRENT_SOURCE_DIR}/window/xprobe.cpp)
target_link_libraries(xprobe PRIVATE glimmer_host_core ${X11_LIBRARIES})
target_include_directories(xprobe PRIVATE ${X11_INCLUDE_DIR})

set(window_program "")
if(TARGET glimmerdeep)
  set(window_program $<TARGET_FILE:glimmerdeep>)
endif()

# The window benchmarks, for the test of their failure reports.
set(window_env "")
if(GLIMMER_BENCH AND NOT GLIMMER_SANITIZE AND NOT GLIMMER_TSAN)
  set(window_env "BENCH_WINDOW_IDLE=$<TARGET_FILE:bench_window_idle>"
    "BENCH_WINDOW_LATENCY=$<TARGET_FILE:bench_window_latency>")
endif()

file(GLOB window_scripts CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/window/test_*.sh)
foreach(script ${window_scripts})
  get_filename_component(name ${script} NAME_WE)
  string(REGEX REPLACE "^test_" "" name ${name})
  add_test(NAME window.${name}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/window/run.sh ${script}
      $<TARGET_FILE:window_probe> $<TARGET_FILE:xprobe> ${window_program})
  set_tests_properties(window.${name} PROPERTIES LABELS window SKIP_RETURN_CODE 77 TIMEOUT 60
    ENVIRONMENT "${window_env}")
endforeach()
