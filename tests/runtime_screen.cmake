# The renderer-sharing test of the print engine also runs under
# ThreadSanitizer (label threads).
if(TARGET runtime_tests)
  add_test(NAME runtime.screen_sharing COMMAND runtime_tests --gtest_filter=ScreenSharing.*)
  set_tests_properties(runtime.screen_sharing PROPERTIES LABELS threads)
endif()
