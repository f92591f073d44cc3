# Profiling: loading vux-boot-th_p registers its modules in order (included from the library's
# CMakeLists.txt). The program links no variant itself; the paths come from the build.
if(VUX_BUILD_TESTS AND TARGET vux-boot-th_p AND NOT VUX_TEST_LABEL)
  set(dir ${CMAKE_CURRENT_LIST_DIR})
  add_executable(boot_th_registration_prof_test ${dir}/registration_prof_test.cpp)
  target_compile_options(boot_th_registration_prof_test PRIVATE ${VUX_WARNINGS})
  target_link_libraries(boot_th_registration_prof_test PRIVATE vux-rts GTest::gtest_main ${CMAKE_DL_LIBS})
  target_compile_definitions(boot_th_registration_prof_test PRIVATE
    VUX_BOOT_TH_PLAIN="$<TARGET_FILE:vux-boot-th>" VUX_BOOT_TH_PROFILING="$<TARGET_FILE:vux-boot-th_p>")
  add_dependencies(boot_th_registration_prof_test vux-boot-th vux-boot-th_p)
  add_dependencies(vux-tests boot_th_registration_prof_test)
  set_target_properties(boot_th_registration_prof_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME boot_th_registration_prof_test COMMAND boot_th_registration_prof_test)
  _vux_test_properties(boot_th_registration_prof_test profiling)
endif()
