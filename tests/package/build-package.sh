#!/usr/bin/env bash
# Builds the Debian package of a built tree with CPack, as "make package" does,
# into a folder of its own.   build-package.sh BUILD-DIR OUT-DIR
set -euo pipefail
build=$1
out=$2
rm -rf "$out"
mkdir -p "$out"
cpack --config "$build/CPackConfig.cmake" -B "$out"
debs=("$out"/zorvane_*.deb)
[ -f "${debs[0]}" ] || { echo "build-package: no package was made" >&2; exit 1; }
echo "built ${debs[0]}"
