# Shared by the scripts in this folder: strict mode, step banners, set-up and the build directories.
# Source it; do not run it.

set -Eeuo pipefail

VUX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Where the build directories go (default: beside the sources, ignored by git).
VUX_BUILD_ROOT="${VUX_BUILD_ROOT:-$VUX_ROOT}"
# The compiler of the sanitizer builds; the main build uses the default (g++).
VUX_SANITIZER_CXX="${VUX_SANITIZER_CXX:-clang++}"
# Parallel jobs of the builds and the test runs: -j N (or --jobs N) on the command line of a script,
# else VUX_JOBS, else the number of cores.
VUX_JOBS="${VUX_JOBS:-$(nproc)}"
vux_parse_jobs() {
    while (($# > 0)); do
        case "$1" in
            -j | --jobs) VUX_JOBS="${2:?-j needs a number}"; shift 2 ;;
            -j* ) VUX_JOBS="${1#-j}"; shift ;;
            --jobs=*) VUX_JOBS="${1#--jobs=}"; shift ;;
            *) vux_fail "unknown argument: $1 (usage: $(basename "$0") [-j N])" ;;
        esac
    done
    [[ "$VUX_JOBS" =~ ^[1-9][0-9]*$ ]] || vux_fail "the jobs limit must be a positive number: $VUX_JOBS"
}
# Warnings fail the build (set VUX_WERROR=OFF to see them all at once instead).
VUX_WERROR="${VUX_WERROR:-ON}"

# Debian packages the build and the tests need.
VUX_PACKAGES=(g++ cmake ninja-build pkgconf libgmp-dev libgtest-dev libbenchmark-dev clang libclang-rt-dev)

trap 'vux_fail "line $LINENO: $BASH_COMMAND (exit $?)"' ERR

vux_fail() {
    printf '\n*** FAILED in %s: %s\n' "$(basename "$0")" "$*" >&2
    exit 1
}

vux_step() {
    printf '\n==> [%s] %s\n' "$(date +%H:%M:%S)" "$*"
}

# Runs a command as root: directly when we are root, else through sudo.
vux_as_root() {
    if [[ $(id -u) -eq 0 ]]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        vux_fail "need root to run: $*"
    fi
}

# Installs the Debian packages that are missing; does nothing when all are there.
vux_setup() {
    vux_step "Checking the Debian packages: ${VUX_PACKAGES[*]}"
    local missing=() pkg
    for pkg in "${VUX_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if ((${#missing[@]} == 0)); then
        echo "All present."
        return
    fi
    vux_step "Installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    vux_as_root apt-get update
    vux_as_root apt-get install -y --no-install-recommends "${missing[@]}"
}

# vux_configure <build dir> <c++ compiler> [cmake options...]
# Configures a Ninja build directory; a directory configured earlier with another compiler is
# started afresh, so running a script twice is safe.
vux_configure() {
    local dir="$1" cxx="$2"
    shift 2
    local cxx_path cc
    cxx_path="$(command -v "$cxx")" || vux_fail "compiler not found: $cxx"
    case "$cxx" in
        clang++*) cc="${cxx/clang++/clang}" ;;
        *) cc="${cxx/g++/gcc}" ;;
    esac
    if [[ -f "$dir/CMakeCache.txt" ]] &&
        ! grep -qx "CMAKE_CXX_COMPILER:[A-Z]*=$cxx_path" "$dir/CMakeCache.txt"; then
        vux_step "Removing $dir (configured with another compiler)"
        rm -rf "$dir"
    fi
    vux_step "Configuring $dir ($cxx $*)"
    CXX="$cxx" CC="$cc" cmake -S "$VUX_ROOT" -B "$dir" -G Ninja "$@"
}

# vux_build <build dir> [targets...]
vux_build() {
    local dir="$1"
    shift
    vux_step "Building $dir ${*:-(everything)} ($VUX_JOBS jobs)"
    cmake --build "$dir" -- -j"$VUX_JOBS" "$@"
}

# vux_ctest <build dir> [ctest options...]
vux_ctest() {
    local dir="$1"
    shift
    vux_step "Testing $dir${*:+ $*}"
    ctest --test-dir "$dir" --output-on-failure -j"$VUX_JOBS" "$@"
}

# vux_ctest_sanitized <build dir> [ctest options...]
# As vux_ctest, with address-space randomisation off where the system allows it: the sanitizer
# runtimes of this clang cannot map their shadow memory under the strongest randomisation.
vux_ctest_sanitized() {
    local arch
    arch="$(uname -m)"
    if setarch "$arch" -R true 2>/dev/null; then
        local dir="$1"
        shift
        vux_step "Testing $dir${*:+ $*} (address randomisation off)"
        setarch "$arch" -R ctest --test-dir "$dir" --output-on-failure -j"$VUX_JOBS" "$@"
    else
        vux_ctest "$@"
    fi
}

# The main build: g++, plain and profiling variants, tests, benchmarks and examples.
# vux_main_build [targets...]: builds the given targets only (default: everything).
VUX_MAIN_BUILD="$VUX_BUILD_ROOT/build-main"
vux_main_build() {
    vux_configure "$VUX_MAIN_BUILD" g++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVUX_WERROR="$VUX_WERROR" \
        -DVUX_BUILD_PROFILING=ON -DVUX_BUILD_TESTS=ON -DVUX_BUILD_BENCHMARKS=ON -DVUX_BUILD_EXAMPLES=ON
    vux_build "$VUX_MAIN_BUILD" "$@"
}
