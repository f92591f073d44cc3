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
endif()
