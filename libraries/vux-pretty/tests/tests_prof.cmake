# Profiling: loading vux-pretty_p registers its modules in order, and the document functions count
# their entries and carry their allocation (included from the library's CMakeLists.txt).
if(VUX_BUILD_TESTS)
  set(dir ${CMAKE_CURRENT_LIST_DIR})
  vux_add_test(pretty_attribution_prof_test SOURCES ${dir}/attribution_prof_test.cpp
    LIBS vux-pretty vux-internal LABELS concurrency)

  # Loads each variant of vux-pretty with dlopen, each in a process of its own; the program links
  # no variant itself (so not the test helpers), and the paths come from the build.
  if(TARGET vux-pretty_p AND NOT VUX_TEST_LABEL)
    add_executable(pretty_registration_prof_test ${dir}/registration_prof_test.cpp)
    target_compile_options(pretty_registration_prof_test PRIVATE ${VUX_WARNINGS})
    target_link_libraries(pretty_registration_prof_test PRIVATE vux-rts GTest::gtest_main ${CMAKE_DL_LIBS})
    target_compile_definitions(pretty_registration_prof_test PRIVATE
      VUX_PRETTY_PLAIN="$<TARGET_FILE:vux-pretty>" VUX_PRETTY_PROFILING="$<TARGET_FILE:vux-pretty_p>")
    add_dependencies(pretty_registration_prof_test vux-pretty vux-pretty_p)
    add_dependencies(vux-tests pretty_registration_prof_test)
    set_target_properties(pretty_registration_prof_test PROPERTIES
      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME pretty_registration_prof_test COMMAND pretty_registration_prof_test)
    _vux_test_properties(pretty_registration_prof_test profiling)
  endif()
endif()
