#!/usr/bin/env bash
# A patch tree deeper than any path a Windows program can name: 40 levels of directories whose
# names have 200 characters, each holding level.txt ("level N"), the deepest also bottom.bin.
# Built and checked one level at a time, since the whole path is longer than Linux allows too.
#
#   deep_patch_tree.sh make DIR    lays out DIR/install/patch/...
#   deep_patch_tree.sh check DIR   after the launcher ran in DIR/install: every file below level 1
#                                  still waits unchanged and nothing below level 1 reached the
#                                  destination (the test that ran the launcher checks level 1
#                                  itself); then removes DIR
set -euo pipefail

command=$1
dir=$2
levels=40
letters=abcdefghijklmnopqrstuvwxyz

name() { # name LEVEL: 200 times the level's letter
    local letter=${letters:$(( ($1 - 1) % 26 )):1}
    printf "%0.s$letter" $(seq 200)
}

make() {
    rm -rf "$dir"
    mkdir -p "$dir/install/patch"
    cd "$dir/install/patch"
    local level
    for level in $(seq $levels); do
        mkdir "$(name "$level")"
        cd "$(name "$level")"
        printf 'level %d' "$level" >level.txt
    done
    head -c 100000 /dev/zero | tr '\0' 'b' >bottom.bin
}

fail() {
    echo "deep_patch_tree: $*" >&2
    exit 1
}

check() {
    cd "$dir/install"
    if [ -d "$(name 1)" ] && [ -n "$(ls -A "$(name 1)" | grep -vx level.txt)" ]; then
        fail "more than level 1's file reached the destination"
    fi
    cd patch
    local level
    for level in $(seq $levels); do
        cd "$(name "$level")" || fail "directory of level $level is gone"
        if [ "$level" != 1 ]; then
            [ "$(cat level.txt)" = "level $level" ] || fail "level $level's file changed or is gone"
        fi
    done
    [ "$(tr -d b <bottom.bin | wc -c)" = 0 ] && [ "$(wc -c <bottom.bin)" = 100000 ] ||
        fail "the deepest file changed"
    cd /
    rm -rf "$dir"
    echo "deep_patch_tree: all $levels levels as expected"
}

case $command in
    make) make ;;
    check) check ;;
    *) echo "usage: deep_patch_tree.sh make|check DIR" >&2; exit 2 ;;
esac
