#!/usr/bin/env bash
# Installs what is missing, then runs every test:
#   1. the main build (g++): plain and profiling variants of every test, then the installed
#      package checked with a small consumer (CMake package and pkg-config);
#   2. the plain variant again under AddressSanitizer and UndefinedBehaviorSanitizer (clang++,
#      which also shows that clang++ compiles the whole tree, benchmarks included);
#   3. the tests labelled `concurrency` under ThreadSanitizer (clang++).
# Each build lives in its own directory (build-main, build-asan, build-tsan), kept between runs.
# Usage: run-tests.sh [-j N]   (N parallel jobs for the builds and the tests; default: the cores)
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
vux_parse_jobs "$@"

vux_setup

vux_main_build
vux_ctest "$VUX_MAIN_BUILD"
bash "$VUX_ROOT/scripts/check-install.sh" "$VUX_MAIN_BUILD"

# Sanitizer builds: light optimisation (quick to compile, readable reports) and assertions on.
sanitizer_flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVUX_WERROR="$VUX_WERROR"
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g")
asan="$VUX_BUILD_ROOT/build-asan"
vux_configure "$asan" "$VUX_SANITIZER_CXX" "${sanitizer_flags[@]}" \
    -DVUX_SANITIZE=address,undefined -DVUX_BUILD_PROFILING=OFF \
    -DVUX_BUILD_TESTS=ON -DVUX_BUILD_BENCHMARKS=ON -DVUX_BUILD_EXAMPLES=ON
vux_build "$asan"
vux_ctest_sanitized "$asan"

# Only the concurrency tests and what they link are built for ThreadSanitizer.
concurrency_tests=$(ctest --test-dir "$VUX_MAIN_BUILD" -N -L '^concurrency$' | sed -n 's/^Total Tests: //p')
if [[ "${concurrency_tests:-0}" -eq 0 ]]; then
    vux_step "No test is labelled concurrency: ThreadSanitizer pass skipped"
else
    tsan="$VUX_BUILD_ROOT/build-tsan"
    vux_configure "$tsan" "$VUX_SANITIZER_CXX" "${sanitizer_flags[@]}" \
        -DVUX_SANITIZE=thread -DVUX_BUILD_PROFILING=OFF -DVUX_TEST_LABEL=concurrency \
        -DVUX_BUILD_TESTS=ON -DVUX_BUILD_BENCHMARKS=OFF -DVUX_BUILD_EXAMPLES=OFF
    vux_build "$tsan" vux-tests
    vux_ctest_sanitized "$tsan" -L '^concurrency$'
fi

vux_step "All test runs passed"
