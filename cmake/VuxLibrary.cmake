# Declaring libraries, tests and benchmarks once for both build variants.
#
# Every library except the runtime is built twice from the same sources: the plain variant
# lib<name>.so and the profiling variant lib<name>_p.so, compiled with VUX_PROFILING=1. A plain
# library links the plain variants of its dependencies, a profiling one the profiling variants, so
# a program uses one variant throughout.

set(VUX_WARNINGS -Wall -Wextra -Wno-unused-parameter)

if(VUX_SANITIZE)
  add_compile_options(-fsanitize=${VUX_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${VUX_SANITIZE})
  # The runtime's allocator hands out memory through malloc so the sanitizers see every object.
  add_compile_definitions(RTS_SANITIZED=1)
endif()

set_property(GLOBAL PROPERTY VUX_LIBRARIES "")

function(_vux_variants out)
  if(VUX_BUILD_PROFILING)
    set(${out} plain profiling PARENT_SCOPE)
  else()
    set(${out} plain PARENT_SCOPE)
  endif()
endfunction()

# The target name of library <lib> in variant <variant>.
function(vux_variant_target out lib variant)
  if(variant STREQUAL "profiling" AND NOT lib STREQUAL "vux-rts")
    set(${out} ${lib}_p PARENT_SCOPE)
  else()
    set(${out} ${lib} PARENT_SCOPE)
  endif()
endfunction()

# vux_add_library(<name>
#   SOURCES <files...>            sources of the library
#   [INCLUDE_DIR <dir>]           root of its public headers (default: the current source dir)
#   [DEPS <libs...>]              vux libraries it calls (matching variant is linked)
#   [NAMED <libs...>]             vux libraries its link list names without calling them
#   [EXTERNAL <targets...>]       outside libraries (GMP, threads)
#   [PLAIN_ONLY])                 build no profiling variant
function(vux_add_library name)
  cmake_parse_arguments(A "PLAIN_ONLY" "INCLUDE_DIR" "SOURCES;DEPS;NAMED;EXTERNAL" ${ARGN})
  if(NOT A_INCLUDE_DIR)
    set(A_INCLUDE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  _vux_variants(variants)
  if(A_PLAIN_ONLY)
    set(variants plain)
  endif()
  foreach(variant IN LISTS variants)
    vux_variant_target(target ${name} ${variant})
    add_library(${target} SHARED ${A_SOURCES})
    target_compile_options(${target} PRIVATE ${VUX_WARNINGS})
    target_include_directories(${target} PUBLIC
      $<BUILD_INTERFACE:${A_INCLUDE_DIR}>
      $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/vux/${name}>)
    if(variant STREQUAL "profiling")
      target_compile_definitions(${target} PUBLIC VUX_PROFILING=1)
    endif()
    target_link_libraries(${target} PUBLIC vux-rts)
    foreach(dep IN LISTS A_DEPS)
      vux_variant_target(dt ${dep} ${variant})
      target_link_libraries(${target} PUBLIC ${dt})
    endforeach()
    if(A_NAMED)
      set(named)
      foreach(dep IN LISTS A_NAMED)
        vux_variant_target(dt ${dep} ${variant})
        list(APPEND named ${dt})
      endforeach()
      # Named but not called: keep them in the dynamic section all the same.
      target_link_libraries(${target} PRIVATE "LINKER:--no-as-needed" ${named} "LINKER:--as-needed")
    endif()
    if(A_EXTERNAL)
      target_link_libraries(${target} PUBLIC ${A_EXTERNAL})
    endif()
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${target}
      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
    install(TARGETS ${target} EXPORT vuxTargets
      LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
    set_property(GLOBAL APPEND PROPERTY VUX_LIBRARIES ${target})
  endforeach()
  install(DIRECTORY ${A_INCLUDE_DIR}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vux/${name}
    FILES_MATCHING PATTERN "*.h" PATTERN "tests" EXCLUDE PATTERN "cbits" EXCLUDE)
endfunction()

# vux_add_test(<name> SOURCES <files...> LIBS <vux libs...> [PLAIN_ONLY] [EXTRA <targets...>])
# One test program per variant: <name> links the plain libraries, <name>_p the profiling ones.
function(vux_add_test name)
  if(NOT VUX_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(A "PLAIN_ONLY;NO_MAIN" "" "SOURCES;LIBS;EXTRA" ${ARGN})
  _vux_variants(variants)
  if(A_PLAIN_ONLY)
    set(variants plain)
  endif()
  foreach(variant IN LISTS variants)
    if(variant STREQUAL "profiling")
      set(target ${name}_p)
    else()
      set(target ${name})
    endif()
    add_executable(${target} ${A_SOURCES})
    target_compile_options(${target} PRIVATE ${VUX_WARNINGS})
    foreach(lib IN LISTS A_LIBS vux-testing)
      vux_variant_target(lt ${lib} ${variant})
      target_link_libraries(${target} PRIVATE ${lt})
    endforeach()
    if(A_NO_MAIN)
      target_link_libraries(${target} PRIVATE GTest::gtest ${A_EXTRA})
    else()
      target_link_libraries(${target} PRIVATE GTest::gtest_main ${A_EXTRA})
    endif()
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${target} COMMAND ${target})
  endforeach()
endfunction()

# vux_add_benchmark(<name> SOURCES <files...> LIBS <vux libs...> [EXTRA <targets...>])
function(vux_add_benchmark name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;EXTRA" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${VUX_WARNINGS})
  target_link_libraries(${name} PRIVATE ${A_LIBS} benchmark::benchmark ${A_EXTRA})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# The CMake package file and the pkg-config file, listing every library declared above.
function(vux_install_package)
  include(CMakePackageConfigHelpers)
  install(EXPORT vuxTargets NAMESPACE vux:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/vux)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/vuxConfig.cmake.in
    ${CMAKE_BINARY_DIR}/vuxConfig.cmake INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/vux)
  write_basic_package_version_file(${CMAKE_BINARY_DIR}/vuxConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
  install(FILES ${CMAKE_BINARY_DIR}/vuxConfig.cmake ${CMAKE_BINARY_DIR}/vuxConfigVersion.cmake
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/vux)
  get_property(libs GLOBAL PROPERTY VUX_LIBRARIES)
  set(VUX_PC_LIBS "-lvux-rts")
  foreach(lib IN LISTS libs)
    if(NOT lib MATCHES "_p$" AND NOT lib STREQUAL "vux-testing")
      string(APPEND VUX_PC_LIBS " -l${lib}")
    endif()
  endforeach()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/vux.pc.in ${CMAKE_BINARY_DIR}/vux.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/vux.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()
