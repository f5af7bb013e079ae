#!/usr/bin/env bash
# Builds consumer.c as a driver writer would, from the unpacked package
# alone (its include/ and the import library in its lib/), and, when an
# emulator is given, runs it beside the packaged DLL (see consumer.c).
# Usage: check_consumer.sh CC PACKAGE_ROOT WORK_DIR VERSION [EMULATOR]
set -euo pipefail
cc=$1
root=$2
work=$3
version=$4
emulator=${5:-}
here="$(cd "$(dirname "$0")" && pwd)"

rm -rf "$work"
mkdir -p "$work"
"$cc" -std=c99 -pedantic-errors -Wall -Wextra -Werror -I "$root/include" "$here/consumer.c" \
    -L "$root/lib" -lOrvixFax -lversion -o "$work/consumer.exe"
echo "OK: consumer.c built against the package with $(basename "$cc")"
if [ -n "$emulator" ]; then
    cp "$root/bin/OrvixFax.dll" "$work/"
    cd "$work"
    "$emulator" ./consumer.exe "$version"
fi
