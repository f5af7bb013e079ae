#!/usr/bin/env bash
# Installs the native build into a fresh prefix and checks what lands
# there: the command (which runs from there), the sample data, the license.
# Usage: check_install.sh CMAKE BUILD_DIR PREFIX VERSION
set -euo pipefail
cmake=$1
build=$2
prefix=$3
version=$4
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

rm -rf "$prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
for file in bin/orvixfax share/doc/OrvixFax/LICENSE \
            share/orvixfax/samples/OrvixFax.adb share/orvixfax/samples/fax-demo.script \
            share/orvixfax/samples/job.json share/orvixfax/samples/job.pjl share/orvixfax/samples/job.ps; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ "$("$prefix/bin/orvixfax" --version)" = "orvixfax $version" ] || fail "the installed orvixfax does not say version $version"
"$prefix/bin/orvixfax" book show --dir "$prefix/share/orvixfax/samples" >/dev/null ||
    fail "the installed orvixfax cannot read the installed sample book"
[ $status -eq 0 ] && echo "OK: the native build installs the command and its data"
exit $status
