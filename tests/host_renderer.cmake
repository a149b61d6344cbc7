# The renderer's test of painting while another thread writes the page also
# runs under ThreadSanitizer (label threads).
if(TARGET host_tests)
  add_test(NAME host.renderer_sharing COMMAND host_tests --gtest_filter=RendererSharing.*)
  set_tests_properties(host.renderer_sharing PROPERTIES LABELS threads)
endif()

# The allocation count of the renderer needs a program that replaces the
# global operator new.
add_executable(renderer_allocations ${CMAKE_CURRENT_SOURCE_DIR}/renderer_allocations.cpp)
target_link_libraries(renderer_allocations PRIVATE glimmer_host_sdl GTest::gtest GTest::gtest_main)
add_test(NAME host.renderer_allocations COMMAND renderer_allocations)
set_tests_properties(host.renderer_allocations PROPERTIES LABELS host)
