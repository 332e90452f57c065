#!/usr/bin/env bash
# Runs the launcher's main job on a demo installation: builds quorvanta.exe and a demo game, lays
# out an installation with a splash bitmap, a Java runtime holding both rendering backends, a
# backend request and a pending patch, runs the launcher under Wine (on $DISPLAY when one is set,
# else on a private Xvfb) and reports what it did, with a screenshot taken while the game ran.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVANTA_BUILD_DIR:-$root/build}
install=$build/demo-install
state=$build/demo-wine
shot=$build/demo-splash.png
jobs=$(nproc)

"$root/scripts/install-deps.sh" >/dev/null

build_tree() {
    local name=$1 toolchain=$2
    cmake -S "$root" -B "$build/$name" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" >/dev/null
    cmake --build "$build/$name" -j "$jobs" --target quorvanta demo_game >/dev/null
}

echo "demo: building the 32-bit quorvanta.exe"
build_tree win32 toolchain-mingw-i686.cmake
tree=win32 arch=i686
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "demo: this host cannot run 32-bit Wine; running the same sources built for 64-bit Windows"
    build_tree win64 toolchain-mingw-x86_64.cmake
    tree=win64 arch=x86_64
fi

echo "demo: laying out $install"
rm -rf "$install"
mkdir -p "$install"
cd "$install"
cp "$build/$tree/ui/quorvanta.exe" quorvanta.exe
printf 'jre\\bin\\\r\ndemo-world\r\ndemo-main\r\n32\r\nopengl\r\ngame\r\n' >install.txt
convert -size 320x200 gradient:'#1e3c72'-'#f2a900' BMP3:quorvanta.bmp
backend_files="bin/j3daudio.dll bin/j3d.dll lib/ext/j3dutils.jar lib/ext/j3dcore.jar lib/ext/j3daudio.jar"
for file in $backend_files; do
    for backend in opengl directx; do
        mkdir -p "jre/$backend/$(dirname "$file")"
        echo "$backend build of $(basename "$file")" >"jre/$backend/$file"
    done
    mkdir -p "jre/$(dirname "$file")"
    cp "jre/directx/$file" "jre/$file"
done
cp "$build/$tree/demo/demo_game.exe" jre/bin/javaw.exe
mkdir -p patch/levels/two data
echo "level two, version 2" >patch/levels/two/map.dat
echo "release notes, version 2" >patch/readme.txt
echo "release notes, version 1" >readme.txt
patch_files=$(cd patch && find . -type f | sed 's|^\./||' | sort)

# shellcheck disable=SC1091
QUORVANTA_DEMO_DISPLAY=${DISPLAY:-}
bash "$root/cmake/wine-env.sh" setup "$state" "$arch" "$QUORVANTA_DEMO_DISPLAY" >/dev/null
trap 'bash "$root/cmake/wine-env.sh" cleanup "$state"' EXIT
# shellcheck disable=SC1091
. "$state/env"
export DISPLAY WINEPREFIX WINEDEBUG=-all

echo "demo: running quorvanta.exe under Wine on display $DISPLAY"
"$WINE_LOADER" quorvanta.exe &
launcher=$!
for _ in $(seq 200); do
    [ -f demo_game.log ] && break
    sleep 0.1
done
sleep 1.5
rm -f "$shot"
import -window root -display "$DISPLAY" "$shot" 2>/dev/null || true
# On the private display the virtual desktop sits in the top-left corner at the launcher's 800 x 600.
if [ -z "${QUORVANTA_DEMO_DISPLAY:-}" ] && [ -f "$shot" ]; then
    mogrify -crop 800x600+0+0 +repage "$shot"
fi
status=0
wait "$launcher" || status=$?

echo
echo "== what happened =="
echo "launcher exit status: $status"
echo "install.txt line 5 now: $(sed -n 5p install.txt | tr -d '\r')"
echo "output.txt: $(cat output.txt 2>/dev/null)"
echo "game command line: $(head -n 1 demo_game.log 2>/dev/null || echo '(the game did not start)')"
echo "rendering backend now in jre:"
for file in $backend_files; do
    echo "  jre/$file: $(cat "jre/$file")"
done
echo "patch files moved:"
for file in $patch_files; do
    if [ -f "$file" ] && [ ! -e "patch/$file" ]; then
        echo "  $file: $(cat "$file")"
    else
        echo "  $file: STILL WAITING in patch/"
    fi
done
echo "patch/ left behind: $(cd patch && find . -mindepth 1 | wc -l) entries"
if [ -f "$shot" ]; then
    echo "screenshot of the splash while the game ran: $shot"
else
    echo "no screenshot could be taken"
fi
