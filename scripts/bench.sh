#!/usr/bin/env bash
# Measures the launcher under Wine and prints the figures; nothing is asserted.
#
#   scripts/bench.sh [--quick]
#
# 1. Launcher overhead: a full launcher run whose game ends at once, against a minimal splash
#    starter (one full-screen popup, shown and painted, then the same game started and waited
#    for) and a bare starter (start and wait only). Runs are interleaved; medians are printed.
# 2. Merge throughput: the launcher's merge of ".\patch\" into ".\" against the same calls in a
#    plain loop, xcopy /E /Y then rmdir /S /Q under the same Wine, and cp -r then rm -r on Linux.
#    Two patches: 10,000 files of 4 KiB in 100 directories, and 8 files of 64 MiB.
# 3. Size and footprint: the size of the 32-bit quorvanta.exe, the DLLs it imports and the peak
#    working set that Wine reports for a launcher run.
#
# Everything runs in one Wine prefix with one persistent wineserver, started here and stopped at
# the end (a wineserver started afresh costs about a second per run and would swamp every figure),
# and a small program that keeps the virtual desktop alive, so that every run finds it running.
# Full: 15 launcher runs of each kind, one round over the small patch, three over the large one.
# --quick: 10 launcher runs of each kind, a 2,000-file small patch, one round of each patch.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVANTA_BUILD_DIR:-$root/build}
win32=${QUORVANTA_BENCH_WIN32:-$build/win32}
win64=${QUORVANTA_BENCH_WIN64:-$build/win64}
work=${QUORVANTA_BENCH_WORK:-$build/bench-run}
mkdir -p "$work"
win32=$(realpath -m "$win32") win64=$(realpath -m "$win64") work=$(realpath "$work")
state=$work/wine
jobs=$(nproc)

# Wine's per-file cost makes one round over the 10,000-file patch take minutes; set
# QUORVANTA_BENCH_ROUNDS for more rounds of it.
launch_runs=15 small_rounds=${QUORVANTA_BENCH_ROUNDS:-1} large_rounds=3 small_files=10000
if [ "${1:-}" = --quick ]; then
    launch_runs=10 small_rounds=1 large_rounds=1 small_files=2000
fi

"$root/scripts/install-deps.sh" >/dev/null

build_tree() {
    local tree=$1 toolchain=$2
    shift 2
    cmake -S "$root" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" >/dev/null
    cmake --build "$tree" -j "$jobs" --target "$@" >/dev/null
}

echo "bench: building the 32-bit quorvanta.exe and the benchmark programs"
build_tree "$win32" toolchain-mingw-i686.cmake quorvanta bench
tree=$win32 arch=i686
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    build_tree "$win64" toolchain-mingw-x86_64.cmake quorvanta bench
    tree=$win64 arch=x86_64
fi

rm -rf "$work"
mkdir -p "$work"
# The Wine processes started here get no handle on this script's output, so that a reader of it
# sees its end.
bash "$root/cmake/wine-env.sh" setup "$state" "$arch" >/dev/null
cleanup() {
    bash "$root/cmake/wine-env.sh" cleanup "$state" 2>/dev/null || true
}
trap cleanup EXIT
# shellcheck disable=SC1091
. "$state/env"
export DISPLAY WINEPREFIX WINEDEBUG=-all
wine=$WINE_LOADER
wineserver -p >/dev/null 2>&1
"$wine" "$tree/bench/desktop_holder.exe" >/dev/null 2>&1 &
sleep 2

now() { echo "${EPOCHREALTIME/./}"; } # microseconds

# Prints the median of the numbers on stdin (microseconds) in seconds with three decimals.
median() {
    sort -n | awk '{ v[NR] = $1 } END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.3f", m / 1e6 }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo
echo "== host =="
echo "uptime: $(uptime)"
echo "Wine: $("$wine" --version), running the $arch build ($tree)"

# ---------------------------------------------------------------------------------------------
# 1. Launcher overhead
launch=$work/launch
mkdir -p "$launch/jre/bin" "$launch/patch"
cp "$tree/ui/quorvanta.exe" "$tree/bench/bare_starter.exe" "$tree/bench/splash_starter.exe" \
    "$tree/bench/footprint_probe.exe" "$launch/"
cp "$tree/bench/bench_game.exe" "$launch/jre/bin/javaw.exe"
printf 'jre\\bin\\\r\nbench-world\r\nbench-main\r\n32\r\nnone\r\ngame\r\n' >"$launch/install.txt"
convert -size 320x200 gradient:'#1e3c72'-'#f2a900' BMP3:"$launch/quorvanta.bmp"
game_line=(game bench-main bench-world)

run_launcher() { "$wine" quorvanta.exe; }
run_splash() { "$wine" splash_starter.exe 'jre\bin\javaw.exe' "${game_line[@]}"; }
run_bare() { "$wine" bare_starter.exe 'jre\bin\javaw.exe' "${game_line[@]}"; }

echo
echo "== launcher overhead: $launch_runs interleaved runs of each, game ends at once =="
cd "$launch"
kinds=(launcher splash bare)
for kind in "${kinds[@]}"; do : >"$work/times-$kind"; done
for kind in "${kinds[@]}"; do "run_$kind" >/dev/null 2>&1 || true; done # warm the caches
for run in $(seq "$launch_runs"); do
    # Rotate the order so that no kind always follows the same one.
    for index in 0 1 2; do
        kind=${kinds[$(((index + run) % 3))]}
        start=$(now)
        "run_$kind" >/dev/null 2>&1 || echo "bench: $kind run $run ended with status $?"
        echo $(($(now) - start)) >>"$work/times-$kind"
    done
done
launcher_s=$(median <"$work/times-launcher")
splash_s=$(median <"$work/times-splash")
bare_s=$(median <"$work/times-bare")
printf '%-36s %s s\n' "quorvanta.exe (median)" "$launcher_s" \
    "minimal splash starter (median)" "$splash_s" "bare starter (median)" "$bare_s"
echo "launcher / splash starter: $(ratio "$launcher_s" "$splash_s") (target <= 1.3)"
echo "launcher / bare starter:   $(ratio "$launcher_s" "$bare_s")"

# ---------------------------------------------------------------------------------------------
# 2. Merge throughput
make_small_patch() { # DIR FILES: FILES files of 4 KiB spread over 100 directories
    python3 - "$1" "$2" <<'PY'
import os, sys
root, files = sys.argv[1], int(sys.argv[2])
block = os.urandom(4096)
for n in range(files):
    directory = os.path.join(root, "dir%03d" % (n % 100))
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, "file%05d.dat" % n), "wb") as out:
        out.write(block[n % 4096:] + block[:n % 4096])
PY
}
make_large_patch() { # DIR: 8 files of 64 MiB
    python3 - "$1" <<'PY'
import os, sys
os.makedirs(sys.argv[1], exist_ok=True)
block = os.urandom(1 << 20)
for n in range(8):
    with open(os.path.join(sys.argv[1], "pack%d.dat" % n), "wb") as out:
        for _ in range(64):
            out.write(block)
PY
}

merge_dir=$work/merge
# Lays out a fresh installation directory holding only a copy of the pristine patch.
fresh_install() { # PRISTINE
    cd "$work"
    rm -rf "$merge_dir"
    mkdir -p "$merge_dir"
    cp -r "$1" "$merge_dir/patch"
    sync
    cd "$merge_dir"
}
# After a complete move, puts the moved tree back under patch/ with a few renames; after an
# incomplete one, lays the patch out afresh.
restore_patch() { # PRISTINE EXPECTED
    local moved left
    moved=$(find . -path ./patch -prune -o -type f -print | wc -l)
    left=$( (find patch -type f 2>/dev/null || true) | wc -l)
    if [ "$moved" = 0 ] && [ "$left" = "$2" ]; then
        return
    fi
    if [ "$moved" != "$2" ] || [ "$left" != 0 ]; then
        echo "bench: WARNING: $moved of $2 files moved, $left left under patch/"
        fresh_install "$1"
        return
    fi
    rm -rf patch
    mkdir patch
    find . -mindepth 1 -maxdepth 1 ! -name patch -exec mv -t patch {} +
    sync
}
# Runs a Windows merge_bench mode and records the time it measured around the merge itself.
time_inside() { # MODE OUT
    local line
    line=$("$wine" "$tree/bench/merge_bench.exe" "$1" | tr -d '\r') || true
    echo "${line#seconds=}" | awk '{ printf "%d\n", $1 * 1e6 }' >>"$2"
}
time_outside() { # OUT COMMAND...
    local out=$1 start
    shift
    start=$(now)
    "$@" >/dev/null 2>&1 || true
    echo $(($(now) - start)) >>"$out"
}
xcopy_and_rmdir() {
    "$wine" xcopy patch '.\' /E /Y
    "$wine" cmd /c rmdir /S /Q patch
}
cp_and_rm() {
    cp -r patch/. .
    rm -r patch
}

merge_bench() { # NAME PRISTINE FILES ROUNDS
    local name=$1 pristine=$2 files=$3 rounds=$4 round mode
    local methods=(merge copy-delete file-system list xcopy cp) index
    for mode in "${methods[@]}"; do : >"$work/merge-$name-$mode"; done
    # An untimed run first: the first Wine run after the tree is laid out is slower.
    fresh_install "$pristine"
    "$wine" "$tree/bench/merge_bench.exe" merge >/dev/null
    for round in $(seq "$rounds"); do
        # Rotate the order so that no method always runs first or after the same one.
        for index in $(seq 0 5); do
            mode=${methods[$(((index + round) % 6))]}
            restore_patch "$pristine" "$files"
            case $mode in
                xcopy) time_outside "$work/merge-$name-$mode" xcopy_and_rmdir ;;
                cp) time_outside "$work/merge-$name-$mode" cp_and_rm ;;
                *) time_inside "$mode" "$work/merge-$name-$mode" ;;
            esac
        done
    done
    local merge floor system list xcopy cp
    merge=$(median <"$work/merge-$name-merge")
    floor=$(median <"$work/merge-$name-copy-delete")
    system=$(median <"$work/merge-$name-file-system")
    list=$(median <"$work/merge-$name-list")
    xcopy=$(median <"$work/merge-$name-xcopy")
    cp=$(median <"$work/merge-$name-cp")
    echo
    restore_patch "$pristine" "$files"
    echo "-- $name patch: $files files, median of $rounds --"
    printf '%-52s %8s s\n' "launcher merge (MergePatchDirectory)" "$merge" \
        "(a) floor: CopyFileA + DeleteFileA per file" "$floor" \
        "(a') floor: CopyReplacing + RemoveFile per file" "$system" \
        "     listing the patch tree alone (in the merge only)" "$list" \
        "(b) xcopy /E /Y + rmdir /S /Q (whole commands)" "$xcopy" \
        "(c) cp -r + rm -r on Linux" "$cp"
    echo "merge / (a):  $(ratio "$merge" "$floor")   merge / (a'): $(ratio "$merge" "$system")" \
        "  (target <= 1.1 against the calls the merge uses)"
    echo "(b) / merge:  $(ratio "$xcopy" "$merge")   (target >= 3)"
    echo "merge / (c):  $(ratio "$merge" "$cp")"
}

echo
echo "== merge throughput (all on $(df --output=source,fstype "$work" | tail -n 1)) =="
echo "copy in Win32FileSystem::CopyReplacing:"
sed -n '/Win32FileSystem::CopyReplacing/,/^}/p' "$root/platform/win32_file_system.cpp" |
    sed 's/^/    /'
make_small_patch "$work/pristine-small" "$small_files"
make_large_patch "$work/pristine-large"
merge_bench small "$work/pristine-small" "$small_files" "$small_rounds"
merge_bench large "$work/pristine-large" 8 "$large_rounds"
cd "$work"
rm -rf "$merge_dir" "$work/pristine-small" "$work/pristine-large"

# ---------------------------------------------------------------------------------------------
# 3. Size and footprint
exe32=$win32/ui/quorvanta.exe
size=$(stat -c %s "$exe32")
echo
echo "== size and footprint =="
echo "i686 quorvanta.exe: $size bytes = $(awk -v s="$size" 'BEGIN { printf "%.1f", s / 1024 }') KiB" \
    "(target <= 200 KiB)"
echo "DLLs it imports: $(i686-w64-mingw32-objdump -p "$exe32" | awk '/DLL Name:/ { print $3 }' |
    tr '\n' ' ')"
cd "$launch"
rm -f memory.txt
BENCH_MEMORY_REPORT=memory.txt "$wine" footprint_probe.exe quorvanta.exe | tr -d '\r' >probe.txt
rm -f memory-splash.txt
BENCH_MEMORY_REPORT=memory-splash.txt run_splash >/dev/null 2>&1 || true
sed -n 's/^launcher_during_run_/splash_starter_during_run_/p' memory-splash.txt >>memory.txt
echo "as Wine reports it for the $arch launcher run (GetProcessMemoryInfo):"
awk -F= '/_peak_working_set=|_working_set=/ { printf "    %-44s %6.1f MiB\n", $1, $2 / 1048576 }
         /_error=/ { printf "    %-44s error %s\n", $1, $2 }' memory.txt probe.txt
echo "(launcher_during_run: read by the game from its parent while the launcher waits for it;"
echo " after_end: read by the starting program on the launcher's handle once it has ended;"
echo " splash_starter_during_run: the same reading for the minimal splash starter;"
echo " game: the game's own figures, a Wine process that loads no window DLLs)"
