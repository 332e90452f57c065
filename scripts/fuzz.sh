#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one for the given number of seconds
# (default 60) from the seed corpus kept in tests/fuzz/corpus. New inputs go to a scratch copy,
# so the kept corpus stays small.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${QUORVANTA_BUILD_DIR:-$root/build}/fuzz
# The settings target works through real files: keep them in memory where the host allows.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DQUORVANTA_FUZZ=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

for target in "$build"/tests/fuzz/*_fuzz; do
    name=$(basename "$target" _fuzz)
    corpus=$(mktemp -d)
    cp -r "$root/tests/fuzz/corpus/$name/." "$corpus/"
    echo "fuzz: $name for ${seconds}s"
    log=$corpus.log
    status=0
    mkdir -p "$build/artifacts"
    (cd "$corpus" && "$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$name-" "$corpus") \
        >"$log" 2>&1 || status=$?
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)|ERROR|SUMMARY|invariant' \
        "$log" || true
    [ "$status" -eq 0 ] || tail -40 "$log"
    rm -rf "$corpus" "$log"
    if [ "$status" -ne 0 ]; then
        echo "fuzz: $name FAILED; the failing input is kept in $build/artifacts"
        exit 1
    fi
done
echo "fuzz: every target ran clean"
