#!/usr/bin/env bash
# Checks that OrvixFax.dll needs nothing but Windows' own DLLs: the C++
# runtime, libgcc and the thread library are linked in, so there is no
# extra DLL to ship with the module. SHELL32 gives the user's
# application-data folder (SHGetFolderPathA), on every Windows the module
# loads on.
# Usage: check_imports.sh OBJDUMP DLL
set -euo pipefail
objdump=$1
dll=$2

imports=$("$objdump" -p "$dll" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p')
if [ -z "$imports" ]; then
    echo "FAIL: $dll imports nothing (not a module?)" >&2
    exit 1
fi
status=0
while read -r name; do
    case "${name,,}" in
        kernel32.dll|user32.dll|gdi32.dll|shell32.dll|msvcrt.dll|api-ms-win-*) ;;
        *) echo "FAIL: $dll needs $name, not one of the system DLLs it may use (KERNEL32, USER32, GDI32, SHELL32, msvcrt)" >&2; status=1 ;;
    esac
done <<<"$imports"
if [ $status -eq 0 ]; then
    echo "OK: $dll needs only" $imports
fi
exit $status
