#!/usr/bin/env bash
# cupstestppd on the fax queues' PPDs, every warning a failure, with the
# filter they name in a root of the test's own where CUPS would look for it.
#   check_ppds.sh FILTER PPD...
set -euo pipefail
filter=$1
shift
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root$(cups-config --serverbin)/filter"
ln -s "$filter" "$root$(cups-config --serverbin)/filter/orvixfax-cups"
cupstestppd -W all -R "$root" "$@"
