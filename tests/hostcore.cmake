# The host core's test programs: small games played through the replay
# driver (hostcore-games), and the registration of the tests that exercise
# the threads, so that they also run under ThreadSanitizer.
set(hostcore_driver ${CMAKE_SOURCE_DIR}/tools/replay/replay_driver.cpp)
if(EXISTS ${hostcore_driver} AND TARGET host_tests)
  add_executable(hostcore-games ${CMAKE_CURRENT_SOURCE_DIR}/hostcore/test_games.cpp
    ${hostcore_driver})
  target_link_libraries(hostcore-games PRIVATE glimmer_host_core)
  add_dependencies(host_tests hostcore-games)
  target_sources(host_tests PRIVATE ${hostcore_driver})
  target_compile_definitions(host_tests PRIVATE
    GLIMMER_TEST_GAMES="$<TARGET_FILE:hostcore-games>")
  add_test(NAME host.threads COMMAND host_tests
    --gtest_filter=RuntimeErrors.*:EndProgram.*:Ending.*:Pausing.*:Closing.*:StartUp.*:ReplayDriver.*)
  set_tests_properties(host.threads PROPERTIES LABELS threads)
endif()
