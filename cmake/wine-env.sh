#!/usr/bin/env bash
# Prepares and tears down what the Windows tests run in: an Xvfb display and one fresh Wine
# prefix whose default desktop is a 1024 x 768 virtual desktop (display-mode changes work there,
# and a program's exit status still comes back through Wine).
#
#   wine-env.sh setup STATE_DIR i686|x86_64 [DISPLAY]
#   wine-env.sh cleanup STATE_DIR
#
# With a DISPLAY given, that display is used instead of a new Xvfb.
#
# STATE_DIR/env records what wine-run.sh needs: DISPLAY, WINEPREFIX and the Wine loader.
set -euo pipefail

command=$1
state=$2
mkdir -p "$state"
state=$(cd "$state" && pwd)

wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64

free_display() {
    local n
    for n in $(seq 90 190); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            echo "$n"
            return
        fi
    done
    echo "wine-env: no free X display number" >&2
    exit 1
}

start_xvfb() {
    if [ -n "${1:-}" ]; then
        echo "$1" >"$state/display"
        return
    fi
    if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
        return
    fi
    local n
    n=$(free_display)
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    echo ":$n" >"$state/display"
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && return
        sleep 0.1
    done
    echo "wine-env: Xvfb did not start on :$n" >&2
    exit 1
}

# 32-bit Wine needs a host that can execute 32-bit Linux programs; some sandboxes cannot.
wine32_usable() {
    [ -x "$wine32" ] && "$wine32" --version >/dev/null 2>&1
}

setup() {
    local arch=$1 display=${2:-} loader usable=1
    if [ "$arch" = i686 ]; then
        loader=$wine32
        wine32_usable || usable=0
    else
        loader=$wine64
    fi
    if [ "$usable" = 0 ]; then
        printf 'WINE_USABLE=0\n' >"$state/env"
        echo "wine-env: this host cannot run 32-bit Wine; the 32-bit Windows tests will be skipped"
        return
    fi
    start_xvfb "$display"
    export DISPLAY
    DISPLAY=$(cat "$state/display")
    export WINEPREFIX=$state/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    rm -rf "$WINEPREFIX"
    "$loader" wineboot -i >"$state/wineboot.log" 2>&1
    "$loader" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$loader" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    wineserver -w
    cat >"$state/env" <<ENV
WINE_USABLE=1
WINE_LOADER=$loader
DISPLAY=$DISPLAY
WINEPREFIX=$WINEPREFIX
ENV
    echo "wine-env: prefix $WINEPREFIX ready on display $DISPLAY ($arch)"
}

cleanup() {
    if [ -f "$state/env" ]; then
        # shellcheck disable=SC1091
        . "$state/env"
        if [ "${WINE_USABLE:-0}" = 1 ]; then
            WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
        fi
    fi
    if [ -f "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
        rm -f "$state/xvfb.pid"
    fi
}

case $command in
    setup) setup "${3:?arch}" "${4:-}" ;;
    cleanup) cleanup ;;
    *) echo "usage: wine-env.sh setup|cleanup STATE_DIR [ARCH]" >&2; exit 2 ;;
esac
