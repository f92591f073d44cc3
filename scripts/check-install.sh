#!/usr/bin/env bash
# check-install.sh <build dir>
# Installs a finished build into a temporary prefix, compiles every installed header on its own,
# and builds and runs one small consumer of each library twice, through the CMake package
# (find_package(vux)) and through pkg-config, for the plain and the profiling variant.
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

pc="$(find "$prefix" -name vux.pc)"
[[ -n "$pc" ]] || vux_fail "no vux.pc installed"
export PKG_CONFIG_PATH="$(dirname "$pc")"
packages=(vux)
[[ -f "$PKG_CONFIG_PATH/vux_p.pc" ]] && packages+=(vux_p)

# Each installed header is compiled alone, in each variant: it includes all it needs, and nothing
# that stayed in the source tree or needs a build-only definition.
includes="$prefix/include/vux"
mapfile -t headers < <(cd "$includes" && find . -name '*.h' | cut -d/ -f3- | sort)
((${#headers[@]} > 0)) || vux_fail "no header installed"
for package in "${packages[@]}"; do
    vux_step "Compiling each of ${#headers[@]} installed headers alone ($package)"
    export VUX_HEADER_FLAGS="$(pkg-config --cflags "$package")"
    printf '%s\n' "${headers[@]}" | xargs -P "$VUX_JOBS" -I{} bash -c \
        'printf "#include \"%s\"\n" "$1" | g++ $VUX_HEADER_FLAGS -Wall -Wextra -Werror -fsyntax-only -x c++ - ||
             { echo "*** $1 does not compile on its own"; exit 1; }' _ {} ||
        vux_fail "an installed header does not compile on its own"
done

vux_step "One consumer of each library through find_package(vux)"
cmake -S "$consumer" -B "$work/cmake-build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >"$work/cmake.log" ||
    { cat "$work/cmake.log"; vux_fail "configuring the consumers"; }
cmake --build "$work/cmake-build" -- -j"$VUX_JOBS"
for program in "$work"/cmake-build/consumer-*; do
    [[ -x "$program" ]] || continue
    "$program" || vux_fail "$(basename "$program") failed"
done

# The .pc files carry the run path of the installed libraries: the programs start as linked.
vux_step "The same consumers through pkg-config"
for package in "${packages[@]}"; do
    read -r -a flags <<<"$(pkg-config --cflags --libs "$package")"
    for source in "$consumer"/*.cpp; do
        program="$work/pc-$package-$(basename "$source" .cpp)"
        g++ -Wall -Wextra -Werror "$source" "${flags[@]}" -o "$program"
        "$program" || vux_fail "$(basename "$program") failed"
    done
done
vux_step "Installed package works"
