#!/usr/bin/env bash
# Checks an unpacked Windows package: exactly the files a driver package
# needs, the DLL a GUI-subsystem module carrying the project version, and
# each program stripped, with its debug information in debug/ under the
# name its debug link gives.
# Usage: check_contents.sh PACKAGE_ROOT OBJDUMP OBJCOPY WINDRES VERSION
set -euo pipefail
root=$1
objdump=$2
objcopy=$3
windres=$4
version=$5
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

expected="LICENSE
README-drivers.md
bin/OrvixFax.dll
debug/OrvixFax.dll.debug
debug/orvixfax.exe.debug
include/orvixfax.h
lib/OrvixFax.def
lib/libOrvixFax.dll.a
orvixfax.exe"
actual=$(cd "$root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    fail "the package does not hold exactly the expected files"
    diff <(echo "$expected") <(echo "$actual") >&2 || true
fi

# Stripped, and pointing to its debug file, which has the debug information.
for program in bin/OrvixFax.dll orvixfax.exe; do
    name=$(basename "$program")
    [ -f "$root/$program" ] || continue
    sections=$("$objdump" -h "$root/$program")
    if grep -q ' \.debug_' <<<"$sections"; then fail "$program still carries debug sections"; fi
    link=$(mktemp)
    if "$objcopy" --dump-section .gnu_debuglink="$link" "$root/$program" 2>/dev/null; then
        linked=$(tr '\0' '\n' <"$link" | head -n1)
        [ "$linked" = "$name.debug" ] || fail "$program links to '$linked', not $name.debug"
    else
        fail "$program has no debug link"
    fi
    rm -f "$link"
    if [ -f "$root/debug/$name.debug" ] && ! grep -q ' \.debug_info' <<<"$("$objdump" -h "$root/debug/$name.debug")"; then
        fail "debug/$name.debug holds no debug information"
    fi
done

dll="$root/bin/OrvixFax.dll"
if [ -f "$dll" ]; then
    headers=$("$objdump" -p "$dll")
    grep -q '^Subsystem[[:space:]]*00000002' <<<"$headers" || fail "OrvixFax.dll is not linked for the Windows GUI subsystem"
    rc=$("$windres" --input "$dll" --output-format rc)
    numbers="${version//./, }, 0"
    grep -q "^ FILEVERSION $numbers\$" <<<"$rc" || fail "the file version is not $version"
    grep -q "^ PRODUCTVERSION $numbers\$" <<<"$rc" || fail "the product version is not $version"
    for value in "FileVersion\", \"$version" "ProductVersion\", \"$version" \
                 "OriginalFilename\", \"OrvixFax.dll" "ProductName\", \"OrvixFax"; do
        grep -qF "VALUE \"$value\"" <<<"$rc" || fail "the version resource lacks \"$value\""
    done
fi

header="$root/include/orvixfax.h"
if [ -f "$header" ]; then
    grep -q "^#define ORVIXFAX_VERSION_STRING \"$version\"\$" "$header" || fail "orvixfax.h does not carry version $version"
    if grep -n '^#include' "$header" | grep -v '<stddef.h>\|<stdint.h>\|<windows.h>'; then
        fail "orvixfax.h includes more than the C library and <windows.h>"
    fi
fi

[ $status -eq 0 ] && echo "OK: $root holds the package as it should"
exit $status
