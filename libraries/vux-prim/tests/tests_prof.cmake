# Profiling: a fixture library whose modules carry the annotations, and the tests of registration
# and attribution (included from the library's CMakeLists.txt).
if(VUX_BUILD_TESTS)
  set(dir ${CMAKE_CURRENT_LIST_DIR})
  vux_add_library(vux-prof-fixture NO_INSTALL DEPS vux-prim INCLUDE_DIR ${dir} SOURCES
    ${dir}/fixture_prof_counting.cpp ${dir}/fixture_prof_empty.cpp ${dir}/fixture_prof_later.cpp
    ${dir}/fixture_prof_counting_more.cpp)
  vux_add_test(attribution_prof_test SOURCES ${dir}/attribution_prof_test.cpp LIBS vux-prof-fixture
    LABELS concurrency)
  vux_add_test(prim_prof_test SOURCES ${dir}/prim_prof_test.cpp LIBS vux-prim)

  # Loads each variant of vux-prim with dlopen, each in a process of its own; the program links
  # no variant itself (so not the test helpers), and the paths come from the build.
  if(TARGET vux-prim_p AND NOT VUX_TEST_LABEL)
    add_executable(registration_prof_test ${dir}/registration_prof_test.cpp)
    target_compile_options(registration_prof_test PRIVATE ${VUX_WARNINGS})
    target_link_libraries(registration_prof_test PRIVATE vux-rts GTest::gtest_main ${CMAKE_DL_LIBS})
    target_compile_definitions(registration_prof_test PRIVATE
      VUX_PRIM_PLAIN="$<TARGET_FILE:vux-prim>" VUX_PRIM_PROFILING="$<TARGET_FILE:vux-prim_p>")
    add_dependencies(registration_prof_test vux-prim vux-prim_p)
    add_dependencies(vux-tests registration_prof_test)
    set_target_properties(registration_prof_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME registration_prof_test COMMAND registration_prof_test)
    _vux_test_properties(registration_prof_test profiling)
  endif()
endif()
