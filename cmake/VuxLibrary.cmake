# Declaring libraries, tests and benchmarks once for both build variants.
#
# Every library except the runtime is built twice from the same sources: the plain variant
# lib<name>.so and the profiling variant lib<name>_p.so, compiled with VUX_PROFILING=1. A plain
# library links the plain variants of its dependencies, a profiling one the profiling variants, so
# a program uses one variant throughout.

set(VUX_WARNINGS -Wall -Wextra -Wno-unused-parameter)
if(VUX_WERROR)
  list(APPEND VUX_WARNINGS -Werror)
endif()

if(VUX_SANITIZE)
  add_compile_options(-fsanitize=${VUX_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${VUX_SANITIZE})
  # The runtime's allocator hands out memory through malloc so the sanitizers see every object.
  add_compile_definitions(RTS_SANITIZED=1)
endif()

# The registration unit that every profiling variant links last (see rts/Profiling.h).
set(VUX_PROFILING_REGISTRATION ${CMAKE_CURRENT_LIST_DIR}/../platform/runtime/src/ProfilingLibrary.cpp)

set_property(GLOBAL PROPERTY VUX_LIBRARIES "")
set_property(GLOBAL PROPERTY VUX_HEADER_DIRS "")
set_property(GLOBAL PROPERTY VUX_EXAMPLES "")

# `ninja vux-tests` builds the test programs and only what they need; `ninja vux-examples` the
# example programs and only what they need.
if(VUX_BUILD_TESTS)
  add_custom_target(vux-tests)
endif()
add_custom_target(vux-examples)

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
#   [PACKAGE_ID <id>]             the package identifier its type representations and call stacks
#                                 name, where the library has a fixed one (default: see below)
#   [DEPS <libs...>]              vux libraries it calls (matching variant is linked)
#   [NAMED <libs...>]             libraries its link list names without calling them (vux
#                                 libraries, or outside ones such as GMP)
#   [EXTERNAL <targets...>]       outside libraries (GMP, threads)
#   [PRIVATE_HEADERS <paths...>]  headers (files or folders, relative to INCLUDE_DIR) that only
#                                 its own sources include: not installed
#   [PLAIN_ONLY]                  build no profiling variant
#   [NO_INSTALL])                 a helper of the build (tests), not part of the installed package
# The headers installed are the *.h and *.inc files under INCLUDE_DIR, except the private ones and
# the tests and cbits folders; the install check compiles each of them on its own.
function(vux_add_library name)
  cmake_parse_arguments(A "PLAIN_ONLY;NO_INSTALL" "INCLUDE_DIR;PACKAGE_ID" "SOURCES;DEPS;NAMED;EXTERNAL;PRIVATE_HEADERS" ${ARGN})
  if(NOT A_INCLUDE_DIR)
    set(A_INCLUDE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  _vux_variants(variants)
  if(A_PLAIN_ONLY)
    set(variants plain)
  endif()
  # The package identifier that the library's type representations and call stacks name: the
  # bare name for the primitive core, name, version and a short hash for the others.
  if(A_PACKAGE_ID)
    set(package_id ${A_PACKAGE_ID})
  elseif(name STREQUAL "vux-prim")
    set(package_id ${name})
  else()
    string(MD5 package_hash "${name}-${PROJECT_VERSION}")
    string(SUBSTRING "${package_hash}" 0 8 package_hash)
    set(package_id "${name}-${PROJECT_VERSION}-${package_hash}")
  endif()
  foreach(variant IN LISTS variants)
    vux_variant_target(target ${name} ${variant})
    add_library(${target} SHARED ${A_SOURCES})
    target_compile_options(${target} PRIVATE ${VUX_WARNINGS})
    target_compile_definitions(${target} PRIVATE VUX_PACKAGE_ID="${package_id}")
    target_include_directories(${target} PUBLIC
      $<BUILD_INTERFACE:${A_INCLUDE_DIR}>
      $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/vux/${name}>)
    if(variant STREQUAL "profiling")
      target_compile_definitions(${target} PUBLIC VUX_PROFILING=1)
      # The runtime keeps pointers to the library's cost centres for the rest of the run, so a
      # profiling library stays loaded once loaded.
      target_link_options(${target} PRIVATE "LINKER:-z,nodelete")
      # Linked last: registers the modules of the library once all its files have initialised.
      target_sources(${target} PRIVATE ${VUX_PROFILING_REGISTRATION})
    endif()
    target_link_libraries(${target} PUBLIC vux-rts)
    foreach(dep IN LISTS A_DEPS)
      vux_variant_target(dt ${dep} ${variant})
      target_link_libraries(${target} PUBLIC ${dt})
    endforeach()
    # Named but not called: each one is kept in the dynamic section by a link option of its own,
    # which CMake neither reorders nor merges with the same library reached through a dependency.
    foreach(dep IN LISTS A_NAMED)
      get_target_property(outside ${dep} IMPORTED)
      if(outside)
        set(dt ${dep})
      else()
        vux_variant_target(dt ${dep} ${variant})
        add_dependencies(${target} ${dt})
      endif()
      target_link_options(${target} PRIVATE
        "SHELL:-Wl,--push-state,--no-as-needed $<TARGET_FILE:${dt}> -Wl,--pop-state")
    endforeach()
    if(A_EXTERNAL)
      target_link_libraries(${target} PUBLIC ${A_EXTERNAL})
    endif()
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${target}
      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
    if(NOT A_NO_INSTALL)
      install(TARGETS ${target} EXPORT vuxTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
      set_property(GLOBAL APPEND PROPERTY VUX_LIBRARIES ${target})
    endif()
  endforeach()
  if(NOT A_NO_INSTALL)
    set(private)
    foreach(path IN LISTS A_PRIVATE_HEADERS)
      string(REGEX REPLACE "([.+])" "\\\\\\1" path_regex "${path}")
      list(APPEND private REGEX "/${path_regex}(/.*)?$" EXCLUDE)
    endforeach()
    install(DIRECTORY ${A_INCLUDE_DIR}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vux/${name}
      FILES_MATCHING PATTERN "*.h" PATTERN "*.inc" PATTERN "tests" EXCLUDE PATTERN "cbits" EXCLUDE
      PATTERN "tools" EXCLUDE ${private})
    set_property(GLOBAL APPEND PROPERTY VUX_HEADER_DIRS ${name})
  endif()
endfunction()

# vux_add_test(<name> SOURCES <files...> LIBS <vux libs...> [PLAIN_ONLY] [NO_MAIN] [EXTRA <targets...>]
#              [LABELS <labels...>])
# One test program per variant: <name> links the plain libraries, <name>_p the profiling ones.
# Each is a CTest test labelled with its variant (plain, profiling) and the given LABELS; the
# label `concurrency` marks the tests that also run under ThreadSanitizer. With VUX_TEST_LABEL
# set, only tests carrying that label are built.
function(vux_add_test name)
  if(NOT VUX_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(A "PLAIN_ONLY;NO_MAIN" "" "SOURCES;LIBS;EXTRA;LABELS" ${ARGN})
  if(VUX_TEST_LABEL AND NOT VUX_TEST_LABEL IN_LIST A_LABELS)
    return()
  endif()
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
    foreach(lib IN LISTS A_LIBS ITEMS vux-testing)
      vux_variant_target(lt ${lib} ${variant})
      target_link_libraries(${target} PRIVATE ${lt})
    endforeach()
    if(A_NO_MAIN)
      target_link_libraries(${target} PRIVATE GTest::gtest ${A_EXTRA})
    else()
      target_link_libraries(${target} PRIVATE GTest::gtest_main ${A_EXTRA})
    endif()
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_dependencies(vux-tests ${target})
    add_test(NAME ${target} COMMAND ${target})
    _vux_test_properties(${target} ${variant} ${A_LABELS})
  endforeach()
endfunction()

# Labels, a time limit (a hung test fails instead of stalling the run) and sanitizer settings.
function(_vux_test_properties test)
  set(env)
  if(VUX_SANITIZE)
    list(APPEND env
      "ASAN_OPTIONS=detect_leaks=1"
      "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
      "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1")
  endif()
  set_tests_properties(${test} PROPERTIES LABELS "${ARGN}" TIMEOUT 600)
  if(env)
    set_tests_properties(${test} PROPERTIES ENVIRONMENT "${env}")
  endif()
endfunction()

# vux_add_example(<name> SOURCES <files...> LIBS <vux libs...> [PROFILING])
# An example program, built into <build>/examples and linked against the plain libraries (the
# profiling ones with PROFILING). It is listed in <build>/examples.list, from which the scripts run
# every example, and it runs as the CTest test example_<name> (label `example`).
function(vux_add_example name)
  cmake_parse_arguments(A "PROFILING" "" "SOURCES;LIBS" ${ARGN})
  set(variant plain)
  if(A_PROFILING)
    set(variant profiling)
  endif()
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${VUX_WARNINGS})
  foreach(lib IN LISTS A_LIBS)
    vux_variant_target(lt ${lib} ${variant})
    target_link_libraries(${name} PRIVATE ${lt})
  endforeach()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/examples)
  set_property(GLOBAL APPEND PROPERTY VUX_EXAMPLES ${name})
  add_dependencies(vux-examples ${name})
  if(VUX_BUILD_TESTS)
    add_test(NAME example_${name} COMMAND ${name})
    _vux_test_properties(example_${name} ${variant} example)
  endif()
endfunction()

# Writes <build>/examples.list: the path of every example program, one a line, in declaration order.
function(vux_write_example_list)
  get_property(examples GLOBAL PROPERTY VUX_EXAMPLES)
  set(content "")
  foreach(example IN LISTS examples)
    string(APPEND content "$<TARGET_FILE:${example}>\n")
  endforeach()
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/examples.list CONTENT "${content}")
endfunction()

# vux_add_benchmark(<name> SOURCES <files...> LIBS <vux libs...> [EXTRA <targets...>])
function(vux_add_benchmark name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;EXTRA" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${VUX_WARNINGS})
  target_link_libraries(${name} PRIVATE ${A_LIBS} benchmark::benchmark ${A_EXTRA})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# The CMake package file (vuxConfig.cmake: targets vux::<library>, with vux::<library>_p for the
# profiling variants) and two pkg-config files: vux (the plain libraries) and vux_p (the profiling
# ones), each listing every installed library.
function(vux_install_package)
  include(CMakePackageConfigHelpers)
  set(cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/vux)
  get_property(libs GLOBAL PROPERTY VUX_LIBRARIES)
  get_property(header_dirs GLOBAL PROPERTY VUX_HEADER_DIRS)

  set(VUX_PACKAGE_LIBRARIES vux-rts ${libs})
  install(EXPORT vuxTargets NAMESPACE vux:: DESTINATION ${cmake_dir})
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/vuxConfig.cmake.in
    ${CMAKE_BINARY_DIR}/vuxConfig.cmake INSTALL_DESTINATION ${cmake_dir})
  write_basic_package_version_file(${CMAKE_BINARY_DIR}/vuxConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
  install(FILES ${CMAKE_BINARY_DIR}/vuxConfig.cmake ${CMAKE_BINARY_DIR}/vuxConfigVersion.cmake
    ${PROJECT_SOURCE_DIR}/cmake/FindGMP.cmake DESTINATION ${cmake_dir})

  # Libraries are declared lowest layer first; a link line names users before what they use.
  set(plain)
  set(profiling)
  foreach(lib IN LISTS libs)
    if(lib MATCHES "_p$")
      list(PREPEND profiling "-l${lib}")
    else()
      list(PREPEND plain "-l${lib}")
    endif()
  endforeach()
  # The pkg-config files find the prefix from their own place, so `cmake --install --prefix` works.
  file(RELATIVE_PATH VUX_PC_PREFIX_FROM_PCDIR /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
  set(VUX_PC_CFLAGS "-I\${includedir}/runtime")
  foreach(dir IN LISTS header_dirs)
    string(APPEND VUX_PC_CFLAGS " -I\${includedir}/${dir}")
  endforeach()
  foreach(variant plain profiling)
    if(variant STREQUAL "plain")
      set(VUX_PC_NAME vux)
      set(VUX_PC_VARIANT "")
      set(VUX_PC_DEFINES "")
    else()
      if(NOT profiling)
        continue()
      endif()
      set(VUX_PC_NAME vux_p)
      set(VUX_PC_VARIANT " (profiling variant)")
      set(VUX_PC_DEFINES " -DVUX_PROFILING=1")
    endif()
    list(JOIN ${variant} " " VUX_PC_LIBS)
    string(STRIP "${VUX_PC_LIBS} -lvux-rts" VUX_PC_LIBS)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/vux.pc.in ${CMAKE_BINARY_DIR}/${VUX_PC_NAME}.pc @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/${VUX_PC_NAME}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
  endforeach()
endfunction()
