#!/bin/sh
# Builds, in DIR, a patch tree that holds Unix symbolic links, as a Windows program sees them
# through Wine's Z: drive: links to a directory outside the tree.
set -eu
dir=$1
rm -rf "$dir"
mkdir -p "$dir/patch/sub" "$dir/outside"
printf precious >"$dir/outside/precious.txt"
printf ok >"$dir/patch/sub/ok.txt"
ln -s ../../outside "$dir/patch/sub/dirlink"
ln -s ../outside "$dir/patch/toplink"
