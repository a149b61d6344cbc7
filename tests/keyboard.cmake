# The keyboard ring's two-thread test: a small binary of its own, labelled
# `threads` so that the ThreadSanitizer build runs it as well.
add_executable(keyboard_ring_threads ${CMAKE_CURRENT_SOURCE_DIR}/keyboard_ring_threads.cpp)
target_link_libraries(keyboard_ring_threads PRIVATE glimmer_runtime GTest::gtest GTest::gtest_main)
gtest_discover_tests(keyboard_ring_threads DISCOVERY_TIMEOUT 60
  PROPERTIES LABELS threads)
