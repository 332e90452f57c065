#!/usr/bin/env bash
# Runs the launcher's main job on a demo installation.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" >/dev/null
cmake --build "$root/build/win32" -j "$(nproc)"
echo
echo "demo: the launch logic builds; the splash window and the Windows operations are still"
echo "demo: being written, so there is no quorvanta.exe to run on a demo installation yet."
