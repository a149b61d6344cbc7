# The tests where the renderer's thread reads the display page while the
# game thread prints and swaps pages also run under ThreadSanitizer (label
# threads).
if(TARGET runtime_tests)
  add_test(NAME runtime.screen_sharing COMMAND runtime_tests --gtest_filter=ScreenSharing.*)
  add_test(NAME runtime.page_sharing COMMAND runtime_tests --gtest_filter=PageSharing.*)
  set_tests_properties(runtime.screen_sharing runtime.page_sharing PROPERTIES LABELS threads)
endif()
