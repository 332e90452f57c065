#!/usr/bin/env bash
# Installs what is needed, builds every target and runs every test:
#   native   the platform-free launch logic, under AddressSanitizer and UndefinedBehaviorSanitizer
#   win32    the shipped 32-bit quorvanta.exe and its tests, run under 32-bit Wine where the host
#            can run it (skipped, and said so, where it cannot)
#   win64    the same Windows tests built for 64-bit Windows and run under 64-bit Wine
#   fuzz     each libFuzzer target for a short fixed time (QUORVANTA_FUZZ_SECONDS, default 60)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVANTA_BUILD_DIR:-$root/build}
jobs=$(nproc)

section() { printf '\n==== %s (at %ds) ====\n' "$*" "$SECONDS"; }

section "packages"
"$root/scripts/install-deps.sh"

run_tree() {
    local name=$1
    shift
    section "build: $name"
    cmake -S "$root" -B "$build/$name" "$@" >/dev/null
    cmake --build "$build/$name" -j "$jobs"
    section "test: $name"
    ctest --test-dir "$build/$name" --output-on-failure -j "$jobs"
}

run_tree native
run_tree win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake"
run_tree win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake"

section "fuzz"
"$root/scripts/fuzz.sh" "${QUORVANTA_FUZZ_SECONDS:-60}"

section "done"
echo "all builds and tests passed in ${SECONDS}s"
