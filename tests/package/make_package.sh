#!/usr/bin/env bash
# Makes this build's ZIP package with cpack and unpacks it into a fresh
# folder, where the other package tests find it as a driver writer would.
# Usage: make_package.sh CMAKE CPACK BUILD_DIR ZIP INTO
set -euo pipefail
cmake=$1
cpack=$2
build=$3
zip=$4
into=$5

rm -f "$zip"
(cd "$build" && "$cpack" -G ZIP)
[ -f "$zip" ] || { echo "FAIL: cpack wrote no $zip" >&2; exit 1; }
rm -rf "$into"
mkdir -p "$into"
(cd "$into" && "$cmake" -E tar xf "$zip")
echo "OK: $zip unpacked into $into"
