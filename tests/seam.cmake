# The seam between runtime and hosts across threads (label `threads`, so the
# ThreadSanitizer build runs it too), and the layering of the libraries.
add_executable(seam_threads ${CMAKE_CURRENT_SOURCE_DIR}/seam_threads.cpp)
target_link_libraries(seam_threads PRIVATE glimmer_runtime GTest::gtest GTest::gtest_main)
gtest_discover_tests(seam_threads DISCOVERY_TIMEOUT 60 PROPERTIES LABELS threads)

# The runtime, the game and the host core link no SDL and no TrueType: not a
# single undefined symbol of either in their archives.
add_test(NAME layering.no_sdl_below_the_window
  COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM}
    "-DLIBRARIES=$<TARGET_FILE:glimmer_runtime>;$<TARGET_FILE:glimmer_game>;$<TARGET_FILE:glimmer_host_core>"
    -P ${CMAKE_CURRENT_SOURCE_DIR}/layering/check_symbols.cmake)
# The include check rejects every forbidden include (it runs on a copy of
# the tree with one planted at a time) and passes the real tree.
add_test(NAME layering.include_check_catches_forbidden_includes
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/layering
    -P ${CMAKE_CURRENT_SOURCE_DIR}/layering/check_include_check.cmake)
set_tests_properties(layering.no_sdl_below_the_window layering.include_check_catches_forbidden_includes
  PROPERTIES LABELS layering)
