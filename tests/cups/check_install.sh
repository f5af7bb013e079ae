#!/usr/bin/env bash
# Installs the native build as a system's install would (prefix /usr), below
# a fresh staging root (DESTDIR), and checks that what the fax queues need
# lands where CUPS looks: the filter, the PPDs, the MIME rule, and the
# configuration where the filter reads it.
#   check_install.sh CMAKE BUILD_DIR STAGING SERVERBIN DATADIR SYSCONFDIR CONFIG_FILE
set -euo pipefail
cmake=$1 build=$2 staging=$3 serverbin=$4 datadir=$5 sysconfdir=$6 config=$7
status=0
fail() { echo "FAIL: $*" >&2; status=1; }
# An install directory below the staging root: relative ones below the prefix.
staged() { case "$1" in /*) echo "$staging$1" ;; *) echo "$staging/usr/$1" ;; esac; }

rm -rf "$staging"
DESTDIR=$staging "$cmake" --install "$build" --prefix /usr >/dev/null
filter=$(staged "$serverbin")/filter/orvixfax-cups
[ -x "$filter" ] || fail "the filter is not installed as $filter"
for file in model/orvixfax/orvixfax-pcl.ppd model/orvixfax/orvixfax-ps.ppd mime/orvixfax.types mime/orvixfax.convs; do
    [ -f "$(staged "$datadir")/$file" ] || fail "$(staged "$datadir")/$file is not installed"
done
[ -f "$(staged "$sysconfdir")/orvixfax/cups.conf" ] ||
    fail "the configuration is not installed as $(staged "$sysconfdir")/orvixfax/cups.conf"
# The filter runs from there and names the configuration file it reads.
usage=$("$filter" 2>&1 || true)
case "$usage" in
    *"$config"*) ;;
    *) fail "the installed filter does not name $config: $usage" ;;
esac
[ $status -eq 0 ] && echo "OK: the fax queues' filter, PPDs, MIME rule and configuration are installed"
exit $status
