#!/usr/bin/env bash
# Plays one scenario as a standard user of today's Windows: under Wine, in
# a prefix of its own whose system directory the user may not write.
#
# Permissions do not stop root, so a root run plays the user as "nobody"
# (setpriv) in a prefix that user owns, with the system directory (and the
# scenario's files in it) given to root; a run by anyone else uses its own
# user and takes the write permission away. The files the scenario puts in
# the system directory are put there first by the host's "prepare", while
# the user still may; the scenario itself then runs with the directory
# closed, and the directory is opened again and emptied afterwards.
#
#   standard_user_scenario.sh HOST_EXE SCENARIO DATA_DIR EXPECTED_DIR OUTPUT_DIR EXPORTER_DLL
# (paths as Linux spells them)
set -euo pipefail
[ $# -eq 6 ] || { echo "usage: $0 HOST_EXE SCENARIO DATA_DIR EXPECTED_DIR OUTPUT_DIR EXPORTER_DLL" >&2; exit 2; }
host=$1 scenario=$2 data=$3 expected=$4 output=$5 exporter=$6
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/scripts/wine-env"

if [ "$(id -u)" -eq 0 ]; then
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    owner=65534:65534
    user=nobody
else
    as_user=()
    owner="$(id -u):$(id -g)"
    user="$(id -un)"
fi
# One prefix, kept between runs, beside the tests' own prefix; under /tmp
# when the user cannot reach the build tree (a checkout in root's home).
base="$here/build/wineprefix-standard-user"
if ! "${as_user[@]}" test -x "$here/build" || ! mkdir -p "$base" 2>/dev/null; then
    base="${TMPDIR:-/tmp}/orvixfax-standard-user-$(id -u)-$(printf %s "$here" | md5sum | cut -c1-8)"
fi
prefix="$base/prefix"
mkdir -p "$base"
chmod 755 "$base"
exec 9>"$base/lock"
flock 9

wine_as_user() {
    "${as_user[@]}" env HOME="$base/home" USER="$user" LOGNAME="$user" WINEPREFIX="$prefix" WINEDEBUG=-all \
        WINEDLLOVERRIDES="$WINEDLLOVERRIDES" "$@"
}

if [ ! -f "$prefix/.orvixfax-ready" ]; then
    rm -rf "$prefix" "$base/home"
    mkdir -p "$prefix" "$base/home"
    chown "$owner" "$prefix" "$base/home"
    echo "standard_user_scenario: creating $prefix (once)" >&2
    if ! wine_as_user env -u DISPLAY timeout 600 "$WINE" wineboot --init >"$base/boot.log" 2>&1; then
        tail -20 "$base/boot.log" >&2
        exit 1
    fi
    wine_as_user timeout 120 wineserver -w || true
    touch "$prefix/.orvixfax-ready"
fi

system="$prefix/drive_c/windows/system32"
placed=(OrvixFax.adb orvixfax.ini Abexpw32.dll Abexpw32.txt)
open_system() {
    chown "$owner" "$system"
    chmod u+w "$system"
}
close_system() {
    local name
    if [ "$(id -u)" -eq 0 ]; then
        chown root:root "$system"
        chmod 755 "$system"
        for name in "${placed[@]}"; do
            [ -e "$system/$name" ] && chown -R root:root "$system/$name" && chmod -R go-w "$system/$name"
        done
    else
        chmod a-w "$system"
        for name in "${placed[@]}"; do
            [ -f "$system/$name" ] && chmod a-w "$system/$name"
        done
    fi
    return 0
}

# What the run needs, where the user may read it; the outcome is written there too.
work="$(mktemp -d "$base/run.XXXXXX")"
finish() {
    open_system
    for name in "${placed[@]}"; do rm -rf "${system:?}/$name"; done
    wine_as_user wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
mkdir -p "$work/bin" "$work/out"
cp "$host" "$(dirname "$host")"/*.dll "$work/bin/"
cp "$scenario" "$exporter" "$work/"
cp -r "$data" "$work/data"
cp -r "$expected" "$work/expected"
chmod -R a+rX "$work"
chown "$owner" "$work/out"
name="$(basename "$scenario")"
exe="$work/bin/$(basename "$host")"

open_system
wine_as_user env -u DISPLAY "$WINE" "$exe" prepare "Z:$work/$name" "Z:$work/data" "Z:$work/$(basename "$exporter")"
# Wine's desktop process, started without a display, must not outlive the
# preparation: the scenario's own run starts it again with its display.
wine_as_user wineserver -k 2>/dev/null || true
wine_as_user wineserver -w 2>/dev/null || true
close_system
status=0
# A display of the user's own, stopped with the run, after Wine's own
# processes that use it.
wine_as_user env -u DISPLAY -u XAUTHORITY xvfb-run -a -s "-screen 0 1280x1024x24" \
    sh -c 'status=0; "$@" || status=$?; wineserver -k 2>/dev/null; exit $status' scenario \
    "$WINE" "$exe" scenario "Z:$work/$name" "Z:$work/data" "Z:$work/expected" "Z:$work/out" \
    "Z:$work/$(basename "$exporter")" </dev/null || status=$?
mkdir -p "$output"
rm -rf "${output:?}/${name%.scenario}"
cp -r "$work/out/." "$output/" 2>/dev/null || true
exit $status
