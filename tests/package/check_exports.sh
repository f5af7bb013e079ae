#!/usr/bin/env bash
# Checks the export table of OrvixFax.dll: exactly the eight exports, each
# under its undecorated name and its fixed ordinal, and nothing else.
# Usage: check_exports.sh OBJDUMP DLL
set -euo pipefail
objdump=$1
dll=$2

expected="1 PSOrvixFaxCall
2 PCLOrvixFaxCall
3 OrvixFaxBookCall
4 EditNumberDlgProc
5 PCLOrvixFaxCallEx
6 PSOrvixFaxCallEx
7 CreatePCLOrvixFaxInfo
8 CreatePSOrvixFaxInfo"

dump=$("$objdump" -p "$dll")

base=$(sed -n 's/^Ordinal Base[[:space:]]*\([0-9][0-9]*\).*/\1/p' <<<"$dump" | head -n1)
if [ -z "$base" ]; then
    echo "FAIL: $dll has no export table" >&2
    exit 1
fi
addresses=$(sed -n 's/^[[:space:]]*Export Address Table[[:space:]]*\([0-9a-fA-F][0-9a-fA-F]*\)$/\1/p' <<<"$dump" | head -n1)

# "[Ordinal/Name Pointer] Table" lines read "[   6] CreatePCLOrvixFaxInfo",
# the number being the ordinal less the base.
actual=$(awk -v base="$base" '
    /^\[Ordinal\/Name Pointer\] Table/ { inside = 1; next }
    inside && /^[[:space:]]*$/ { inside = 0 }
    inside && match($0, /\[ *[0-9]+\]/) {
        index_text = substr($0, RSTART + 1, RLENGTH - 2)
        name = substr($0, RSTART + RLENGTH)
        sub(/^[[:space:]]+/, "", name)
        print index_text + base, name
    }' <<<"$dump" | sort -n)

status=0
if [ "$actual" != "$expected" ]; then
    echo "FAIL: the exports of $dll are not the eight expected ones" >&2
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    status=1
fi
# No export by ordinal only: the address table has one entry per name.
if [ -n "$addresses" ] && [ $((16#$addresses)) -ne 8 ]; then
    echo "FAIL: $dll has $((16#$addresses)) entries in its export address table, not 8" >&2
    status=1
fi
if [ $status -eq 0 ]; then
    echo "OK: $dll exports exactly the eight names with their ordinals"
fi
exit $status
