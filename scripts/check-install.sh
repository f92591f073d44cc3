#!/usr/bin/env bash
# check-install.sh <build dir>
# Installs a finished build into a temporary prefix and builds and runs a small consumer against
# it twice, through the CMake package (find_package(vux)) and through pkg-config, for the plain
# and the profiling variant.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

build="$(cd "${1:?usage: check-install.sh <build dir>}" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/vux-install-check.XXXXXX")"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
consumer="$VUX_ROOT/scripts/install-check"

vux_step "Installing $build into a temporary prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
    { cat "$work/install.log"; vux_fail "cmake --install"; }
config="$(find "$prefix" -name vuxConfig.cmake)"
[[ -n "$config" ]] || vux_fail "no vuxConfig.cmake installed"
if find "$prefix" -name '*vux-testing*' | grep -q .; then
    vux_fail "the test helpers were installed"
fi

vux_step "Consumer through find_package(vux)"
cmake -S "$consumer" -B "$work/cmake-build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >"$work/cmake.log" ||
    { cat "$work/cmake.log"; vux_fail "configuring the consumer"; }
cmake --build "$work/cmake-build"
"$work/cmake-build/consumer"
if [[ -x "$work/cmake-build/consumer_p" ]]; then
    "$work/cmake-build/consumer_p"
fi

vux_step "Consumer through pkg-config"
pc="$(find "$prefix" -name vux.pc)"
[[ -n "$pc" ]] || vux_fail "no vux.pc installed"
export PKG_CONFIG_PATH="$(dirname "$pc")"
for package in vux vux_p; do
    [[ -f "$PKG_CONFIG_PATH/$package.pc" ]] || continue
    flags_text="$(pkg-config --cflags --libs "$package")"
    read -r -a flags <<<"$flags_text"
    libdir="$(pkg-config --variable=libdir "$package")"
    g++ -Wall -Wextra -Werror "$consumer/consumer.cpp" "${flags[@]}" -Wl,-rpath,"$libdir" \
        -o "$work/pc-$package"
    "$work/pc-$package"
done
vux_step "Installed package works"
