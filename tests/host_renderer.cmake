# The renderer's test of painting while another thread writes the page also
# runs under ThreadSanitizer (label threads).
if(TARGET host_tests)
  add_test(NAME host.renderer_sharing COMMAND host_tests --gtest_filter=RendererSharing.*)
  set_tests_properties(host.renderer_sharing PROPERTIES LABELS threads)
endif()
