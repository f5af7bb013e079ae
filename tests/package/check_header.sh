#!/usr/bin/env bash
# Compiles the packaged orvixfax.h alone, with nothing but the package's
# include/ on the path, as C (C99, C11) and as C++ (C++98, C++20): the
# header must need nothing of the sources and pass its own layout checks.
# Usage: check_header.sh CC CXX PACKAGE_ROOT
set -euo pipefail
cc=$1
cxx=$2
root=$3
status=0
for language in c:c99 c:c11 c++:c++98 c++:c++20; do
    compiler=$cc
    [ "${language%%:*}" = c++ ] && compiler=$cxx
    if "$compiler" -x "${language%%:*}" -std="${language#*:}" -pedantic-errors -Wall -Wextra -Werror \
            -fsyntax-only -I "$root/include" - <<<'#include <orvixfax.h>'; then
        echo "OK: orvixfax.h compiles alone as ${language#*:} with $(basename "$compiler")"
    else
        echo "FAIL: orvixfax.h does not compile alone as ${language#*:} with $(basename "$compiler")" >&2
        status=1
    fi
done
exit $status
