#!/usr/bin/env bash
# Runs one Windows program under the Wine set up by wine-env.sh in $QUORVANTA_WINE_STATE.
# Exits 77 (a skipped test for ctest) when this host cannot run that Wine.
set -euo pipefail

state=${QUORVANTA_WINE_STATE:?set QUORVANTA_WINE_STATE to a directory prepared by wine-env.sh}
if [ ! -f "$state/env" ]; then
    echo "wine-run: $state is not prepared; run cmake/wine-env.sh setup first" >&2
    exit 2
fi
# shellcheck disable=SC1091
. "$state/env"
if [ "$WINE_USABLE" != 1 ]; then
    echo "wine-run: skipped, this host cannot run 32-bit Wine"
    exit 77
fi
export DISPLAY WINEPREFIX WINEDEBUG=-all
exec "$WINE_LOADER" "$@"
