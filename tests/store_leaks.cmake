# The string store under LeakSanitizer, in the sanitizer build only (the
# test script runs that build with leak detection off, for the other tests'
# sake): a variable block that a larger one follows stays owned, and the
# restarts and arena growth of the differential runs give back what they
# took.
if(GLIMMER_SANITIZE AND TARGET runtime_tests)
  add_test(NAME runtime.store_leaks
    COMMAND runtime_tests --gtest_filter=VariableBlock.*:StringStoreModel.*)
  set_tests_properties(runtime.store_leaks PROPERTIES LABELS runtime
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1")
endif()
