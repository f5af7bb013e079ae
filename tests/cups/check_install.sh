#!/usr/bin/env bash
# Installs the native build into a fresh prefix and checks what the fax
# queues need lands where CUPS looks below it: the filter, the PPDs, the
# MIME rule and the configuration.
#   check_install.sh CMAKE BUILD_DIR PREFIX SERVERBIN DATADIR
set -euo pipefail
cmake=$1 build=$2 prefix=$3 serverbin=$4 datadir=$5
status=0
fail() { echo "FAIL: $*" >&2; status=1; }
under() { case "$1" in /*) echo "$1" ;; *) echo "$prefix/$1" ;; esac; }

rm -rf "$prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
filter=$(under "$serverbin")/filter/orvixfax-cups
[ -x "$filter" ] || fail "the filter is not installed as $filter"
for file in model/orvixfax/orvixfax-pcl.ppd model/orvixfax/orvixfax-ps.ppd mime/orvixfax.types mime/orvixfax.convs; do
    [ -f "$(under "$datadir")/$file" ] || fail "$(under "$datadir")/$file is not installed"
done
[ -f "$prefix/etc/orvixfax/cups.conf" ] || fail "the configuration is not installed as $prefix/etc/orvixfax/cups.conf"
# The filter's usage names the configuration file it reads.
usage=$("$filter" 2>&1 || true)
case "$usage" in
    *"orvixfax/cups.conf"*) ;;
    *) fail "the installed filter does not run: $usage" ;;
esac
[ $status -eq 0 ] && echo "OK: the fax queues' filter, PPDs and configuration are installed"
exit $status
